// SPDX-License-Identifier: MIT
#pragma once

#include "caratteri.h"
#include "dichiarazioni.h"
#include "frmabout.h"
#include "frmsplash.h"
#include "frmtabellone.h"
#include "frmtip.h"
#include "immagine.h"
#include "richieste_finte.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Dichiarazioni;

// Empty when exactly these numbers are drawn, by flag and by picture, and no
// index outside the game is flagged; otherwise the first difference.
inline QString differenze(const frmTabellone &t, const QList<int> &estratti)
{
    for (int n = 0; n < DimensioneTabelle; ++n) {
        if ((Estratti[n] == Estratto) != estratti.contains(n))
            return QStringLiteral("flag of %1 is %2").arg(n).arg(Estratti[n]);
        const QString immagine = estratti.contains(n) ? nomeImmagine(n) : QStringLiteral("img00.gif");
        if (numeroValido(n) && t.Img[n]->nomeCaricato() != immagine)
            return QStringLiteral("cell %1 shows %2").arg(QString::number(n), t.Img[n]->nomeCaricato());
    }
    return {};
}

// The window of class T up modally now, if any; the board is modal by its own means.
template <typename T>
T *modale()
{
    QWidget *finestra = QApplication::activeModalWidget();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<frmTabellone *>(w); !finestra && t && t->modale())
            finestra = t;
    return qobject_cast<T *>(finestra);
}

// Runs innesco; once a window of class T is up modally, hands it to azione, as
// a person would answer it. True when azione ran and nothing had to be taken
// down after five seconds: a window that ignores what it is told fails the
// test instead of hanging it.
template <typename T>
bool allaModale(const std::function<void()> &innesco, const std::function<void(T *)> &azione)
{
    bool vista = false, bloccata = false;
    QTimer attesa, guardia;
    QObject::connect(&attesa, &QTimer::timeout, [&] {
        if (T *finestra = modale<T>()) {
            attesa.stop();
            vista = true;
            azione(finestra);
        }
    });
    QObject::connect(&guardia, &QTimer::timeout, [&] {
        if (QWidget *finestra = modale<QWidget>()) {
            bloccata = true;
            finestra->close();
        }
    });
    attesa.start(5);
    guardia.start(5000);
    innesco();
    return vista && !bloccata;
}

// How a person leaves the board: Ctrl+F8, one of the keys that hide it.
inline void lascia(frmTabellone *t)
{
    QTest::keyClick(t, Qt::Key_F8, Qt::ControlModifier);
}

// A fresh game, Italian dates, a fixed clock and a program folder of its own
// holding the 91 pictures.
class Banco
{
public:
    Banco()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        registraSostituti(QCoreApplication::applicationDirPath());
        azzera();
        for (int n = 0; n <= UltimoNumero; ++n)
            // Copies: on Windows a link is a shortcut file, not the picture.
            if (!QFile::copy(QDir(QStringLiteral(CARTELLA_IMMAGINI)).filePath(nomeImmagine(n)),
                             percorso(nomeImmagine(n))))
                qFatal("cannot set up the program folder");
    }

    static QDateTime adesso() { return {QDate(2026, 12, 6), QTime(21, 5, 33)}; }
    QString percorso(const QString &nome) const { return QDir(cartella.path()).filePath(nome); }

    void scrivi(const QString &nome, const QByteArray &contenuto) const
    {
        QFile file(percorso(nome));
        if (file.open(QIODevice::WriteOnly))
            file.write(contenuto);
    }

    QByteArray registro() const
    {
        QFile file(percorso(QStringLiteral("ultima.par")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<no record>");
    }

    frmTabellone &crea()
    {
        t = std::make_unique<frmTabellone>(richieste, cartella.path(), cartella.path());
        t->impostaOrologio(adesso);
        return *t;
    }

    // The board resumed from this record, then shown.
    frmTabellone &riprendi(const QByteArray &contenuto)
    {
        scrivi(QStringLiteral("ultima.par"), contenuto);
        crea().CaricaPartita(QStringLiteral("inizio"));
        t->show();
        return *t;
    }

    frmSplash &schermata()
    {
        s = std::make_unique<frmSplash>(richieste, cartella.path(), cartella.path());
        s->tabellone()->impostaOrologio(adesso);
        s->show();
        return *s;
    }

    // Presses the start button; mentreSu runs while it keeps the board up and must take it down.
    bool avvia(const std::function<void(frmTabellone *)> &mentreSu)
    {
        return allaModale<frmTabellone>([this] { QTest::mouseClick(s->Command2, Qt::LeftButton); }, mentreSu);
    }

    // Draws n as the caller does: a double click, then azione (a space by default) on the pop-up.
    bool estrai(int n, const std::function<void(frmTip *)> &azione = [](frmTip *p) { QTest::keyClick(p, ' '); })
    {
        Immagine *cella = (t ? t.get() : s->tabellone())->Img[n];
        return allaModale<frmTip>([cella] { QTest::mouseDClick(cella, Qt::LeftButton); }, azione);
    }

    QTemporaryDir cartella;
    RichiesteFinte richieste;
    std::unique_ptr<frmTabellone> t;
    std::unique_ptr<frmSplash> s;
};
