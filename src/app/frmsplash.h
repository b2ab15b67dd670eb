// SPDX-License-Identifier: MIT
#pragma once

#include "frmstampa.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Telefoni;
class Richieste;
class Voce;
class VoceSintetica;
class frmTabellone;

// The start screen: title, version, the last game's date, the comment level,
// and the buttons that open the board or end the program. It builds the board
// hidden and resumes the last game into it once it has been drawn itself.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    frmSplash(Richieste &richieste, QString cartellaImmagini, QString cartellaRegistro, QWidget *parent = nullptr);
    // Decodes the start screen's pictures ahead of it; it shows them at once then.
    static void preparaImmagini();

    // Built on first use, or right after the start screen's first paint.
    frmTabellone *tabellone();

    QLabel *imgLogo = nullptr;
    QLabel *lblProductName = nullptr;
    QLabel *LblCommento = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Lblultima = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QRadioButton *Option3 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblCompany = nullptr;
    // The voice switch: off at every start, last in the tab order; greyed out,
    // its tooltip saying why, once turned on where no voice can be used.
    QPushButton *CmdVoce = nullptr;

    // Under the voice switch: opens "Stampa cartelle", last in the tab order.
    QPushButton *CmdStampa = nullptr;
    // Above the voice switch: "Telefoni in sala", off at every start like the
    // voice, last in the tab order. F8 on the board turns it on too.
    QPushButton *CmdTelefoni = nullptr;
    // The phones' page, made with the board; its server exists only while the switch is on.
    Telefoni *telefoni();
    // Where the printout is saved and how it is opened.
    ServiziStampa serviziStampa = serviziStampaDiSistema();

    // The voice that announces the draws, or nullptr while the switch is off.
    Voce *voce() const;

signals:
    void fineProgramma();
    // Once, right after the first paint: what can wait for the start screen goes on then.
    void disegnata();
    // The switch turned the voice on (a usable voice) or off (nullptr).
    void voceCambiata(Voce *voce);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Command2_Click();
    void informazioni();
    void creaInterruttoreVoce();
    void preparaVoce();
    void accendiVoce(bool accesa);
    void spegniVocePerSempre(const QString &motivo);
    void stampaCartelle();
    void accendiTelefoni(bool acceso);

    Richieste &m_richieste;
    QString m_cartellaImmagini;
    QString m_cartellaRegistro;
    frmTabellone *m_tabellone = nullptr;
    VoceSintetica *m_voce = nullptr; // built when the switch is first turned on
    Telefoni *m_telefoni = nullptr;
    bool m_disegnata = false;
};
