// SPDX-License-Identifier: MIT
#pragma once

#include "infosistema.h"

#include <QDialog>

class QLabel;
class QPushButton;
class Richieste;

// The information dialog: title, version, description, legal line and key
// help, and a button that starts the system-information tool.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    frmAbout(Richieste &richieste, ServiziInfoSistema servizi, QWidget *proprietario = nullptr);

    void StartSysInfo();

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Richieste &m_richieste;
    ServiziInfoSistema m_servizi;
};
