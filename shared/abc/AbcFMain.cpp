#include "AbcFMain.h"

#include "AbcCProgram.h"
#include "AbcMAtt.h"
#include "AbcMParams.h"
#include "AbcMVpro.h"
#include "AbcUContext.h"
#include "AbeMSettCons.h"
#include "AbiMBen.h"
#include "VoAddOns.h"
#include "VoConnection.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoOutlookBar.h"
#include "VoStatistics.h"
#include "VoUtils.h"

#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

TfmAbcMain::TfmAbcMain(const TAbcProgram &program, QWidget *parent)
    : TfmVoMDIMain(parent), m_program(program) {
    setWindowTitle(program.Title);
    resize(1100, 720);
}

void TfmAbcMain::FormCreate() {
    m_exitRequested = m_program.BeforeMainWindow && !m_program.BeforeMainWindow(this);
    LoadMenuImages();
    // Both programs show the consumables register's release notes.
    m_releaseNotesPath = AbcReleaseNotesDir() + QStringLiteral("kva_notizie.pdf");
    m_firstActivate = true;
    TdmAbcAtt *menu = m_program.Menu();
    menu->SetContainer(mxOLBar());
    xgvmGlobalVar.Add(QStringLiteral("DefaultParamManager"),
                      QVariant::fromValue<QObject *>(menu->ParamsModule()->xpmVouParams));
    AddPanel(m_program.SchoolPanelWidth);
    AddPanel(m_program.RegisterYearPanelWidth);
    DoOnRefreshPanel = [this](int panel) { RefreshStatusPanel(panel); };
    SetHelpFile(m_program.HelpFile);
}

void TfmAbcMain::FormActivate() {
    if (m_exitRequested) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    if (!m_firstActivate)
        return;
    m_firstActivate = false;
    TdmVoConnection *connection = m_program.Connection();
    if (!connection->OpenConnection()) {
        connection->ShowLastError();
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    // A database grown by the other program, an older version or another computer is planned on
    // statistics measured when it was small.
    VoRefreshStaleStatistics();
    TdmAbcAtt *menu = m_program.Menu();
    menu->Execute();
    if (mxOLBar()->PageCount() > 0)
        mxOLBar()->setCurrentIndex(0);
    xgvmGlobalVar.Add(QStringLiteral("DefaultParamManager"),
                      QVariant::fromValue<QObject *>(menu->ParamsModule()->xpmVouParams));
    m_program.LoadContext(true);
    RefreshPanels();
    for (const auto &step : m_program.FirstActivationSteps)
        step(this);
}

void TfmAbcMain::FormShow() {
    if (m_program.ReleaseNotesAtFirstShow)
        ShowReleaseNotes();
}

void TfmAbcMain::showEvent(QShowEvent *e) {
    TfmVoMDIMain::showEvent(e);
    VoGuarded([this] { FormShow(); });
}

void TfmAbcMain::RefreshStatusPanel(int panel) {
    if (panel == 1)
        SetPanelText(1, QStringLiteral("Istituto: ") + m_program.ParamDescription(ParSchool).toString());
    else if (panel == 2)
        SetPanelText(2, QStringLiteral("Velisto: ") + m_program.ParamDescription(ParRegisterYear).toString());
}

void TfmAbcMain::LoadMenuImages() {
    MenuImages().Clear();
    MenuImages().Add(m_program.MenuImages());
}

void TfmAbcMain::ShowReleaseNotes() {
    if (QFileInfo::exists(GetMainDir() + m_program.ReleaseNotesMarker))
        m_program.Menu()->xasNotizie->Execute();
}

QString TfmAbcMain::ManualFileName() const {
    return m_program.ManualFileName;
}

QList<QIcon> AbcMenuPictures(const QList<TAbcPicture> &pictures) {
    QList<QIcon> icons;
    for (const TAbcPicture &p : pictures) {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor::fromRgb(p.colour));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(QString::fromUtf8(p.sign).size() > 2 ? 11 : 15);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QString::fromUtf8(p.sign));
        painter.end();
        icons << QIcon(pixmap);
    }
    return icons;
}

void AbcDestroyModules(TdmAbcAtt *menu, TdmVoConnection *connection) {
    delete dmSecSettCons;
    dmSecSettCons = nullptr;
    delete dmBeneficiari;
    dmBeneficiari = nullptr;
    delete dmVproDBQuery;
    dmVproDBQuery = nullptr;
    delete menu;
    delete dmModAnaAtt;
    dmModAnaAtt = nullptr;
    delete dmznsActivations;
    dmznsActivations = nullptr;
    delete connection;
}
