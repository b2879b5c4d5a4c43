#include "VoBenchReports.h"

#include "VoBench.h"
#include "VoMessages.h"
#include "VoRptPages.h"
#include "VoRptTreeView.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

void VoBenchTimeReport(TVoRptTreeView *tree, int id, const QString &what, const QTemporaryDir &dir,
                       TVoScriptedMessages &messages, const std::function<void()> &confirm,
                       const QString &bareWhat, const std::function<double()> &bare) {
    QTimer responder;
    QObject::connect(&responder, &QTimer::timeout, confirm);
    responder.start(1);
    QElapsedTimer timer;
    timer.start();
    const auto document = tree->Prepare(id);
    const qint64 laidOut = timer.elapsed();
    responder.stop();
    if (!document) {
        Out() << what << ": the run failed: " << messages->Texts().join(QLatin1Char('\n')) << "\n";
        return;
    }
    timer.restart();
    const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(id));
    document->WritePdf(pdf);
    const qint64 written = timer.elapsed();
    VoBenchBeside(QStringLiteral("%1: %2 pages laid out").arg(what).arg(document->PageCount()), double(laidOut),
                  bareWhat, VoMedianOf(3, bare));
    Out() << "    PDF written in " << written << " ms (" << QFileInfo(pdf).size() / 1024 << " KB)\n";
}
