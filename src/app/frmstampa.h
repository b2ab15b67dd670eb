// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QSpinBox;
class Richieste;

// Where the printout goes and how it is shown (tests keep both to themselves).
struct ServiziStampa {
    QString documenti;                          // the folder the PDF is saved in
    std::function<bool(const QString &)> apri;  // opens it in the system's viewer
};
ServiziStampa serviziStampaDiSistema();

// "Stampa cartelle": how many series, the button that makes the batch and its
// PDF, and where the PDF went.
class frmStampa : public QDialog
{
    Q_OBJECT

public:
    frmStampa(Richieste &richieste, QString cartellaRegistro, ServiziStampa servizi, QWidget *proprietario = nullptr);

    QSpinBox *txtSerie = nullptr;
    QPushButton *cmdCrea = nullptr;
    QLabel *lblPercorso = nullptr;
    QPushButton *cmdChiudi = nullptr;

private:
    void crea();

    Richieste &m_richieste;
    QString m_cartellaRegistro;
    ServiziStampa m_servizi;
};
