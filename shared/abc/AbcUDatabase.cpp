#include "AbcUDatabase.h"

#include "VoConnection.h"
#include "VoDbCreate.h"
#include "VoStop.h"
#include "VoWait.h"

bool AbcCreateDatabase(const QString &path, QString *error) {
    TfmVoWait *wait = fmVoWait();
    wait->SetTitle(QStringLiteral("Primo avvio: preparazione del database"));
    wait->SetText(QString::fromUtf8(VoCreatingSchemaText));
    wait->SetProgressMax(0);
    wait->ShowWait();
    TVoDbCreateOptions options;
    options.progress = [wait](const QString &step, int done, int total) {
        if (wait->ProgressMax() != total)
            wait->SetProgressMax(total);
        // The position first: setting the text paints the window at once, while positions are
        // painted only a few times a second.
        wait->SetProgressPosition(done);
        wait->SetText(step);
    };
    const bool made = VoCreateDatabase(path, options, error);
    wait->HideWait();
    return made;
}

void AbcPrepareDatabase() {
    VoInstallCleanStop();
    TdmVoConnection::SetDatabaseCreator(&AbcCreateDatabase);
    TdmVoConnection::SetDatabaseUpgrader(&VoUpgradeDatabase);
}
