// The durable-goods inventory program: opens the connection it was started with and its main window.
#include "VoApplication.h"
#include "VoConnection.h"
#include "VoDbCreate.h"
#include "VoMDIMain.h"

#include <QColor>
#include <QTimer>

namespace {
class TfmkvbMain : public TfmVoMDIMain {
public:
    explicit TfmkvbMain(TdmVoConnection *connection) : m_connection(connection) {
        setWindowTitle(QStringLiteral("Velisto - Beni durevoli"));
        resize(1100, 720);
    }

protected:
    void FirstActivation() override {
        if (!m_connection->OpenConnection())
            QTimer::singleShot(0, this, &QWidget::close);
    }

private:
    TdmVoConnection *m_connection;
};
} // namespace

int main(int argc, char *argv[]) {
    TVoApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kvb"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velisto - Beni durevoli"));
    app.SetProgramIcon(QStringLiteral("V"), QColor(21, 101, 192));
    TdmVoConnection::SetDatabaseCreator([](const QString &path, QString *error) {
        return VoCreateDatabase(path, TVoDbCreateOptions{}, error);
    });
    TdmVoConnection::SetDatabaseUpgrader(&VoUpgradeDatabase);
    auto *dmkvbConn = new TdmVoConnection(&app);
    TfmkvbMain main(dmkvbConn);
    main.show();
    return app.exec();
}
