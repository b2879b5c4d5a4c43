// The first start's making of the database, as the user sees it in the wait window.
#include "AbcUDatabase.h"
#include "VoDbCreate.h"
#include "VoTestDb.h"
#include "VoWait.h"

#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

TEST(AbcUDatabaseTest, TheWaitWindowTellsTheMakingOfTheDatabaseAndHowFarItGot) {
    struct Seen {
        QString title, text;
        int position, maximum;
        bool operator==(const Seen &) const = default;
    };
    QList<Seen> seen;
    // The wait window lets the events through while the work goes on: what it shows is read then.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&seen] {
        const TfmVoWait *w = fmVoWait();
        const Seen now{w->Title(), w->Text(), w->ProgressPosition(), w->ProgressMax()};
        if (w->isVisible() && (seen.isEmpty() || !(seen.last() == now)))
            seen << now;
    });
    watch.start(0);
    const QString path = TVoTestDb::Folder() + QStringLiteral("/primo-avvio.fdb");
    QString error;
    ASSERT_TRUE(AbcCreateDatabase(path, &error)) << error.toStdString();
    watch.stop();
    EXPECT_FALSE(fmVoWait()->isVisible());
    EXPECT_TRUE(QFileInfo::exists(path));

    const int total = int(VoSchemaScripts().size() + VoDemoScripts().size());
    ASSERT_FALSE(seen.isEmpty());
    QStringList steps;
    int last = -1;
    for (const Seen &s : seen) {
        EXPECT_EQ(s.title, QStringLiteral("Primo avvio: preparazione del database"));
        if (steps.isEmpty() || steps.last() != s.text)
            steps << s.text;
        if (s.maximum == total) {
            EXPECT_GE(s.position, last);
            last = s.position;
        }
    }
    EXPECT_EQ(steps, (QStringList{QStringLiteral("Creazione del database..."),
                                  QStringLiteral("Scrittura dei dati dimostrativi...")}));
    EXPECT_EQ(last, total - 1);
}
