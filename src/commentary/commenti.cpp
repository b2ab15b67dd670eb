// SPDX-License-Identifier: MIT
#include "commenti.h"

using namespace Qt::StringLiterals;

namespace {

// Level 1: the smorfia as the board has always told it.
const std::array<QString, 90> Livello1 = {
    u"IL MASCHIO"_s, // 1
    u"L'AMORE"_s, // 2
    u"IL MALANNO"_s, // 3
    u"IL PIACERE"_s, // 4
    u"LA MANO"_s, // 5
    u"LO SPECCHIO"_s, // 6
    u"LE CORNA"_s, // 7
    u"IL PETTO DELLE DONNE"_s, // 8
    u"LA RABBIA"_s, // 9
    u"IL CANNONE"_s, // 10
    u"GLI IMBROGLI"_s, // 11
    u"I SOLDATI"_s, // 12
    u"IL BELLIMBUSTO"_s, // 13
    u"I CORNUTI"_s, // 14
    u"FIDARSI"_s, // 15
    u"L'ASINO"_s, // 16
    u"LA DISGRAZIA"_s, // 17
    u"LA TRADIZIONE"_s, // 18
    u"ARROSSIRE"_s, // 19
    u"LE FESTE"_s, // 20
    u"LA DONNA"_s, // 21
    u"IL PARROCO - IL PRETE"_s, // 22
    u"LA SUOCERA"_s, // 23
    u"GLI OCCHI"_s, // 24
    u"IL NATALE"_s, // 25
    u"I MACCHERONI"_s, // 26
    u"IL CARCERIERE"_s, // 27
    u"IL MATRIMONIO"_s, // 28
    u"LE CASTAGNE"_s, // 29
    u"LO SCIOCCO"_s, // 30
    u"LA SCOPA"_s, // 31
    u"LA GELOSIA"_s, // 32
    u"GLI ANNI DI CRISTO"_s, // 33
    u"L'ADULTERIO (LE CORNA)"_s, // 34
    u"LA GOBBA"_s, // 35
    u"LA TESTA"_s, // 36
    u"IL FRATE"_s, // 37
    u"LA FOLLA"_s, // 38
    u"LA SMORFIA"_s, // 39
    u"LA PELLE"_s, // 40
    u"IL BUFFONE"_s, // 41
    u"I PIDOCCHI"_s, // 42
    u"LA GIOIA"_s, // 43
    u"L'INGANNO"_s, // 44
    u"I PAZZI"_s, // 45
    u"LA SERENATA"_s, // 46
    u"IL MORTO CHE PARLA"_s, // 47
    u"LA CASTITA'"_s, // 48
    u"LO SFARZO"_s, // 49
    u"IL PANE"_s, // 50
    u"LA GABBIA"_s, // 51
    u"I MUSCOLI"_s, // 52
    u"L'ACQUAVITE"_s, // 53
    u"LE BASTONATE"_s, // 54
    u"LA SALUTE"_s, // 55
    u"LA CADUTA"_s, // 56
    u"I VIZI"_s, // 57
    u"LA CALUNNIA"_s, // 58
    u"LA CASA"_s, // 59
    u"LA LITE"_s, // 60
    u"IL GHIOTTONE"_s, // 61
    u"I COMPLIMENTI"_s, // 62
    u"LA CAROVANA"_s, // 63
    u"LE TOPPE"_s, // 64
    u"LA PANCIA"_s, // 65
    u"IL SUCCESSO"_s, // 66
    u"LA PETTEGOLA"_s, // 67
    u"LA MINESTRA"_s, // 68
    u"L'ELEMOSINA"_s, // 69
    u"LA SORPRESA"_s, // 70
    u"LA NOVITA'"_s, // 71
    u"LA VIRILITA'"_s, // 72
    u"IL CAPPONE"_s, // 73
    u"IL VAGABONDO"_s, // 74
    u"IL TEMPO BELLO"_s, // 75
    u"LA CHIAVE"_s, // 76
    u"LE GAMBE DELLE DONNE"_s, // 77
    u"L'UBRIACO"_s, // 78
    u"LE FRITTELLE"_s, // 79
    u"LA BOCCA"_s, // 80
    u"IL BORDELLO"_s, // 81
    u"L'ONORE"_s, // 82
    u"LA COSCIENZA"_s, // 83
    u"LA CHIESA"_s, // 84
    u"L'ANIMA"_s, // 85
    u"LO SPIANTATO"_s, // 86
    u"IL PALATO"_s, // 87
    u"TRAFFICARE"_s, // 88
    u"L'INVIDIA"_s, // 89
    u"LA PAURA"_s, // 90
};

// Level 2: the Neapolitan smorfia. Double blanks and spellings are as the
// players know them; keep them letter for letter.
const std::array<QString, 90> Livello2 = {
    u"L' ITALIA"_s, // 1
    u"LA BAMBINA"_s, // 2
    u"LA GATTA"_s, // 3
    u"IL MAIALE"_s, // 4
    u"LA MANO"_s, // 5
    u"QUELLO CHE GUARDA A TERRA"_s, // 6
    u"IL VASO"_s, // 7
    u"LA MADONNA"_s, // 8
    u"LA FIGLIOLANZA"_s, // 9
    u"I FAGIOLI"_s, // 10
    u"I TOPI"_s, // 11
    u"I SOLDATI"_s, // 12
    u"S. ANTONIO"_s, // 13
    u"L'UBRIACO"_s, // 14
    u"IL RAGAZZO"_s, // 15
    u"IL SEDERE"_s, // 16
    u"LA DISGRAZIA"_s, // 17
    u"IL SANGUE"_s, // 18
    u"LA RISATA"_s, // 19
    u"LA FESTA"_s, // 20
    u"LA DONNA NUDA"_s, // 21
    u"IL PAZZO"_s, // 22
    u"LO SCIOCCO"_s, // 23
    u"LE GUARDIE"_s, // 24
    u"NATALE"_s, // 25
    u"ANNETTA"_s, // 26
    u"IL VASO DA NOTTE"_s, // 27
    u"LE TETTE"_s, // 28
    u"IL PADRE DEI BIMBI"_s, // 29
    u"LE PALLE DEL TENENTE"_s, // 30
    u"IL PADRONE DI CASA"_s, // 31
    u"IL CAPITONE"_s, // 32
    u"GLI ANNI DI  CRISTO"_s, // 33
    u"LA TESTA"_s, // 34
    u"L'UCCELLO"_s, // 35
    u"LE NACCHERE"_s, // 36
    u"IL FRATE"_s, // 37
    u"LE BASTONATE"_s, // 38
    u"LA CORDA AL COLLO"_s, // 39
    u"L'ERNIA"_s, // 40
    u"IL COLTELLO"_s, // 41
    u"IL CAFFE'"_s, // 42
    u"LA DONNA AL BALCONE"_s, // 43
    u"LA PRIGIONE"_s, // 44
    u"IL VINO  BUONO"_s, // 45
    u"IL DENARO"_s, // 46
    u"IL MORTO"_s, // 47
    u"IL MORTO CHE PARLA"_s, // 48
    u"LA CARNE"_s, // 49
    u"IL PANE"_s, // 50
    u"IL GIARDINO"_s, // 51
    u"LA MAMMA"_s, // 52
    u"IL VECCHIO"_s, // 53
    u"IL CAPPELLO"_s, // 54
    u"LA MUSICA"_s, // 55
    u"LA CADUTA"_s, // 56
    u"IL GOBBO"_s, // 57
    u"IL CARTOCCIO"_s, // 58
    u"I PELI"_s, // 59
    u"SI LAMENTA"_s, // 60
    u"IL CACCIATORE"_s, // 61
    u"IL MORTO AMMAZZATO"_s, // 62
    u"LA SPOSA"_s, // 63
    u"LA MARSINA"_s, // 64
    u"IL PIANTO"_s, // 65
    u"LE DUE ZITELLA"_s, // 66
    u"IL TOTANO DELLA CHITARRA"_s, // 67
    u"LA ZUPPA COTTA"_s, // 68
    u"SOTTOSOPRA"_s, // 69
    u"IL PALAZZO"_s, // 70
    u"L'UOMO RIPROVEVOLE"_s, // 71
    u"LA MERAVIGLIA"_s, // 72
    u"L'OSPEDALE"_s, // 73
    u"LA GROTTA"_s, // 74
    u"PULCINELLA"_s, // 75
    u"LA FONTANA"_s, // 76
    u"LI DIAVOLI"_s, // 77
    u"LA BELLA RAGAZZA"_s, // 78
    u"IL LADRO"_s, // 79
    u"LA BOCCA"_s, // 80
    u"I FIORI"_s, // 81
    u"LA TAVOLA IMBANDITA"_s, // 82
    u"IL CATTIVO TEMPO"_s, // 83
    u"LA CHIESA"_s, // 84
    u"LE ANIME DEL PURGATORIO"_s, // 85
    u"LA BOTTEGA"_s, // 86
    u"I PIDOCCHI"_s, // 87
    u"I CACIOCAVALLI"_s, // 88
    u"LA VECCHIA"_s, // 89
    u"LA PAURA"_s, // 90
};

} // namespace

const std::array<QString, 90> &commentiLivello(int livello)
{
    return livello == 2 ? Livello2 : Livello1;
}

void Livelli(const std::optional<int> &livello, std::array<QString, 101> &commenti)
{
    // Level 3, or no level at all, keeps whatever an earlier start left.
    if (livello != 1 && livello != 2)
        return;
    const auto &testi = commentiLivello(*livello);
    for (int n = 1; n <= 90; ++n)
        commenti.at(n) = testi[n - 1];
}
