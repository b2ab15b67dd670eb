// SPDX-License-Identifier: MIT
#include "comandi.h"

#include "identita.h"

int mascheraModificatori(Qt::KeyboardModifiers modificatori)
{
    int maschera = 0;
    if (modificatori & Qt::ShiftModifier)
        maschera += 1;
    if (modificatori & Qt::ControlModifier)
        maschera += 2;
    if (modificatori & Qt::AltModifier)
        maschera += 4;
    return maschera;
}

int codiceTasto(int tasto, Qt::KeyboardModifiers modificatori, quint32 tastoNativo)
{
    if (const int nativo = codiceNativo(tastoNativo); nativo != 0)
        return nativo;
    if (tasto >= Qt::Key_F1 && tasto <= Qt::Key_F24)
        return CodiceF1 + (tasto - Qt::Key_F1);
    if (tasto >= Qt::Key_0 && tasto <= Qt::Key_9)
        return modificatori & Qt::KeypadModifier ? 96 + (tasto - Qt::Key_0) : tasto;
    if (tasto >= Qt::Key_A && tasto <= Qt::Key_Z)
        return tasto; // Qt uses the upper-case letter's code, as the board does
    const bool tastierino = modificatori & Qt::KeypadModifier;
    switch (tasto) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Asterisk: return tastierino ? 106 : 0;
    case Qt::Key_Plus: return tastierino ? 107 : 187;
    case Qt::Key_Minus: return tastierino ? 109 : 189;
    case Qt::Key_Period: return tastierino ? 110 : 190;
    case Qt::Key_Slash: return tastierino ? 111 : 191;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Comma: return 188;
    default: return 0;
    }
}

ComandoTastiera smistaTasto(int codice, int maschera)
{
    // Modifiers are added to the key code, so Shift+F1 lands on F2 and so on.
    switch (static_cast<qint16>(codice + maschera)) {
    case 112: return ComandoTastiera::Informazioni;
    case 113: return ComandoTastiera::NuovaPartita;
    case 121: return maschera == 0 ? ComandoTastiera::Messaggi : ComandoTastiera::LasciaTabellone;
    case 122: return ComandoTastiera::IngrandisciRiduci;
    case CodiceF5: return maschera == 0 ? ComandoTastiera::VerificaCartella : ComandoTastiera::Nessuno;
    case CodiceF6: return maschera == 0 ? ComandoTastiera::EstrazioneComputer : ComandoTastiera::Nessuno;
    case CodiceF7: return maschera == 0 ? ComandoTastiera::FinestraPartita : ComandoTastiera::Nessuno;
    case CodiceF9: return maschera == 0 ? ComandoTastiera::EstrazioniAutomatiche : ComandoTastiera::Nessuno;
    default: return ComandoTastiera::Nessuno;
    }
}

QString titoloTabellone()
{
    const QString t = QString::fromUtf8(Identita::TestoTitolo);
    return t + QStringLiteral(" [CTRL+ALT+F4 per finire]   $    ") + t
           + QStringLiteral(" [F11 ingrandire/ridurre]   $    ") + t
           + QStringLiteral(" [F1 info]   $    ") + t;
}

QString testoColonnaMessaggi(const QString &messaggio)
{
    const QString riga = messaggio + QStringLiteral("   \n");
    return riga + riga;
}
