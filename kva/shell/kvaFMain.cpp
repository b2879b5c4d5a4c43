#include "kvaFMain.h"

#include "VoConnection.h"

#include <QCoreApplication>
#include <QTimer>

TfmkvaMain::TfmkvaMain(TdmVoConnection *connection, QWidget *parent)
    : TfmVoMDIMain(parent), m_connection(connection) {
    setWindowTitle(QStringLiteral("Velisto"));
    resize(1100, 720);
}

void TfmkvaMain::FirstActivation() {
    if (!m_connection->OpenConnection()) {
        // The connection module has told the user why; the program ends.
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
}
