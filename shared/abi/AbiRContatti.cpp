#include "AbiRContatti.h"

#include "AbiRCommon.h"
#include "VoDBEdits.h"
#include "VoRegistry.h"
#include "VoTableModel.h"

#include <QGridLayout>
#include <QPainter>

namespace {

QString InvalidValue(const char *caption) {
    return QStringLiteral("Attenzione!\r\nValore non valido per il campo \"%1\"")
        .arg(QString::fromUtf8(caption));
}

} // namespace

// --- Phones -----------------------------------------------------------------------------------------------

TfrNumTelefono::TfrNumTelefono(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frNumTel"));
    grFrame->AddColumn(QStringLiteral("STEBTELEFONO"), QStringLiteral("Numero di telefono"), 160);
    grFrame->AddColumn(QStringLiteral("STEBDESC"), QStringLiteral("Descrizione"), 300);
    m_viewColumn = grFrame->AddColumn(QStringLiteral("VUOTO"), QStringLiteral("Visualizzato"), 80);

    xdeNumTelefono = NewDBEdit(tsDetail, 20);
    xdeDescr = NewDBEdit(tsDetail, 255);
    axCkView = new TVoDBCheckBox(QStringLiteral("Visualizza il Numero"), tsDetail);
    auto *grid = new QGridLayout(tsDetail);
    AddLabelled(grid, 0, 0, "Numero telefonico", xdeNumTelefono);
    AddLabelled(grid, 1, 0, "Descrizione", xdeDescr, 2);
    grid->addWidget(axCkView, 2, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
    xdeNumTelefono->Bind(xdsMain, QStringLiteral("STEBTELEFONO"));
    xdeDescr->Bind(xdsMain, QStringLiteral("STEBDESC"));
    axCkView->Bind(xdsMain, QStringLiteral("lTebView"));

    imgVisualizzato = Images().Add(style()->standardIcon(QStyle::SP_DialogApplyButton));
    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
    grFrame->OnDrawColumnCell.Add([this](TVoDBGrid *s, QPainter *p, const QRect &r, int row, int column) {
        grFrameDrawColumnCell(s, p, r, row, column);
    });
}

void TfrNumTelefono::xacPostExecute(TVoDataAction *Sender) {
    PostRequired(this, Sender, xdeNumTelefono, InvalidValue("Numero telefonico"));
}

void TfrNumTelefono::grFrameDrawColumnCell(TVoDBGrid *, QPainter *Painter, const QRect &Rect, int Row,
                                           int Column) {
    const TVoQueryCollection *c = DataSet();
    const TVoField *view = c ? c->FindField(QStringLiteral("LTEBVIEW")) : nullptr;
    if (Column != m_viewColumn || !view || c->RowValue(Row, view->Index()).toInt() != 1)
        return;
    const int side = qMin(16, Rect.height() - 2);
    Images()
        .Icon(imgVisualizzato)
        .paint(Painter, QRect(Rect.left() + 10, Rect.top() + (Rect.height() - side) / 2, side, side));
}

// --- E-mail -----------------------------------------------------------------------------------------------

TfrEmail::TfrEmail(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frEmailBen"));
    grFrame->AddColumn(QStringLiteral("SEMBEMAIL"), QStringLiteral("E-Mail"), 300);
    xdeEmail = NewDBEdit(tsDetail, 50);
    ckView = new TVoDBCheckBox(QStringLiteral("Visualizza nelle stampe"), tsDetail);
    auto *grid = new QGridLayout(tsDetail);
    AddLabelled(grid, 0, 0, "Indirizzo E-Mail", xdeEmail);
    grid->addWidget(ckView, 1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(2, 1);
    xdeEmail->Bind(xdsMain, QStringLiteral("SEMBEMAIL"));
    ckView->Bind(xdsMain, QStringLiteral("lEmbView"));
    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
}

void TfrEmail::xacPostExecute(TVoDataAction *Sender) {
    PostRequired(this, Sender, xdeEmail, InvalidValue("Indirizzo E-Mail"));
}

// --- Web sites --------------------------------------------------------------------------------------------

TfrSitiWeb::TfrSitiWeb(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frWeb"));
    grFrame->AddColumn(QStringLiteral("SSWBSITO"), QStringLiteral("Sito Web"), 400);
    xdeWeb = NewDBEdit(tsDetail, 120);
    auto *grid = new QGridLayout(tsDetail);
    AddLabelled(grid, 0, 0, "Sito Web", xdeWeb);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    xdeWeb->Bind(xdsMain, QStringLiteral("SSWBSITO"));
    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
}

void TfrSitiWeb::xacPostExecute(TVoDataAction *Sender) {
    PostRequired(this, Sender, xdeWeb, InvalidValue("Sito Web"));
}

// --- Contribution certificates ----------------------------------------------------------------------------

TfrAbiDurc::TfrAbiDurc(QWidget *parent) : TfrVoDBROGrid(parent) {
    setObjectName(QStringLiteral("frDurc"));
    const std::initializer_list<TAbiColumn> columns = {{"sCcdCodice", "Codice", 120},
                                                       {"sCcdLDesc", "Descrizione", 300},
                                                       {"dCcdDataAssegn", "Data assegnazione", 120},
                                                       {"dCcdDataScad", "Data scadenza", 120}};
    AddColumns(grFrame, columns);
    TVoColsIndex &index = grFrame->ColsIndex();
    index.Clear();
    int column = 0;
    for (const TAbiColumn &c : columns) {
        const QString field = QString::fromLatin1(c.field);
        index.Add(column++, field, field);
    }
}
