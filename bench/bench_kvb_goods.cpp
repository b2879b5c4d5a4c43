// Times the goods list and the moves of goods on the generated register of 100,000 goods
// (VoBenchGoods.h): "Elenco beni" from its opening to its first screen and one filter of the search
// box, each beside the bare key query it stands for with their ratio, and "Sposta beni" listing the
// start sector's goods and moving 1,000 of them, each in a transaction of its own.
//
//   bench_kvb_goods
#include "AbeRRicerca.h"
#include "VoBench.h"
#include "VoBenchGoods.h"
#include "VoClassRegistry.h"
#include "VoDBGrid.h"
#include "VoIdComboBox.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"
#include "kvbFBeni.h"
#include "kvbFSpostaBeni.h"
#include "kvbRBeni.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

namespace {

// The bare key query the list's first screen stands for: the keys of the register's goods in the
// list's order, their first screen read.
const char *const kBareKeysSQL =
    "SELECT inb.IBINBID FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON (buo.IBBUOID = inb.IBBUOID) INNER "
    "JOIN "
    "TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON "
    "dia.IDwgFacID=di.IDwgFacID "
    "WHERE (di.iFacId=:f) %1 ORDER BY buo.DBBUODATA, inb.IBINBNUMERO, inb.SBINBCODNUMERO ROWS 1 TO 25";
const char *const kBareNumberFilter =
    "AND (CASE COALESCE(inb.sBInbCodNumero,'') WHEN '' THEN inb.iBInbNumero ELSE inb.iBInbNumero || '/' || "
    "inb.sBInbCodNumero END CONTAINING '99')";

double BareMillis(int facId, const char *filter) {
    return VoMillis([&] {
        TVoQuery q(QString::fromLatin1(kBareKeysSQL).arg(QString::fromLatin1(filter)));
        for (q.SetParam(QStringLiteral("f"), facId).Open(); !q.Eof(); q.Next()) {
        }
    });
}

void PrintRatio(QTextStream &out, double ms, double bare) {
    out << "  bare key query: " << bare << " ms, ratio " << ms / bare << "\n";
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_kvb_goods"));
    if (!bench.Ok())
        return 1;
    kvbRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QTextStream &out = Out();
    const TVoBenchGoods k = VoBenchGenerateGoods(db);
    CurrentRegisterId = k.facId;

    {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<TfmBeni> window(qobject_cast<TfmBeni *>(CreateVoClass(QStringLiteral("TfmBeni"))));
        window->resize(1200, 800);
        window->show();
        QApplication::processEvents();
        double ms = timer.nsecsElapsed() / 1e6;
        out << "Elenco beni to its first screen (" << window->frMaster->grFrame->Model()->rowCount()
            << " rows read): " << ms << " ms\n";
        PrintRatio(out, ms, BareMillis(k.facId, ""));
        // The box takes the text as the user types it: focused first, so that its placeholder goes.
        QLineEdit *box = window->frMaster->frRicerca->edRicerca;
        QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(box, &focus);
        box->setText(QStringLiteral("99"));
        timer.restart();
        window->frMaster->frRicerca->tmFiltTimer();
        QApplication::processEvents();
        ms = timer.nsecsElapsed() / 1e6;
        out << "search box filter \"99\" on the number (" << window->frMaster->grFrame->Model()->rowCount()
            << " rows read first): " << ms << " ms\n";
        PrintRatio(out, ms, BareMillis(k.facId, kBareNumberFilter));
        window->close();
    }

    const int destination =
        VoSelectValue(QStringLiteral("SELECT MIN(ISECID) FROM TSEC_SETTCONS WHERE ISECID <> :s"),
                      {{QStringLiteral("s"), k.sector}})
            .toInt();
    {
        std::unique_ptr<TfmkvbSpostaBeni> wizard(
            qobject_cast<TfmkvbSpostaBeni *>(CreateVoClass(QStringLiteral("TfmkvbSpostaBeni"))));
        wizard->show();
        wizard->cbSettStart->SelectId(k.sector);
        wizard->cbSettEnd->SelectId(destination);
        wizard->rxdeSpost->setDate(QDate(2026, 12, 1));
        QElapsedTimer timer;
        timer.start();
        wizard->buNext->click();
        const double listed = timer.nsecsElapsed() / 1e6;
        out << "Sposta beni: goods of the start sector listed (" << wizard->lwBeni->topLevelItemCount()
            << "): " << listed << " ms\n";
        for (int i = 0; i < 1000 && i < wizard->lwBeni->topLevelItemCount(); ++i)
            wizard->lwBeni->topLevelItem(i)->setCheckState(0, Qt::Checked);
        timer.restart();
        wizard->buOk->click();
        out << "Sposta beni: 1,000 goods moved, one transaction each: " << timer.nsecsElapsed() / 1e6
            << " ms\n";
    }
    for (const QString &text : bench.messages->Texts())
        out << "  message: " << text << "\n";
    return 0;
}
