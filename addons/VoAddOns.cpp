#include "VoAddOns.h"

#include "VoChildDB.h"
#include "VoClassRegistry.h"
#include "VoConnection.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

TdmModAnaAtt *dmModAnaAtt = nullptr;
TdmznsActivations *dmznsActivations = nullptr;

namespace {

struct TColumn {
    const char *field;
    const char *title;
    int width;
};

// A read-only list of a query, for the add-ons' windows.
QTableView *ListView(QWidget *parent, TVoQueryCollection *data, std::initializer_list<TColumn> columns) {
    auto *model = new TVoTableModel(data, parent);
    for (const TColumn &c : columns)
        model->AddColumn(QString::fromLatin1(c.field), QString::fromUtf8(c.title), c.width);
    auto *view = new QTableView(parent);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    for (int i = 0; i < model->columnCount(); ++i)
        view->setColumnWidth(i, model->ColumnWidth(i));
    return view;
}

// The details of the current person: addresses, phones or e-mail addresses.
class TfrAnaDetail : public QWidget {
public:
    TfrAnaDetail(QWidget *parent, const char *sql, std::initializer_list<TColumn> columns)
        : QWidget(parent), m_data(new TVoQueryCollection(this)) {
        m_data->SetCommandText(QString::fromLatin1(sql));
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(ListView(this, m_data, columns));
    }
    void ShowPerson(int personId) {
        m_data->Close();
        m_data->SetConnection(dmModAnaAtt ? dmModAnaAtt->Connection() : nullptr);
        m_data->SetParam(QStringLiteral("IANAID"), personId);
        m_data->Open();
    }

private:
    TVoQueryCollection *m_data;
};

class TfrAnaAbt : public TfrAnaDetail {
public:
    explicit TfrAnaAbt(QWidget *parent)
        : TfrAnaDetail(parent, "SELECT * FROM TANAABT WHERE IANAID = :IANAID ORDER BY IANAABTID",
                       {{"SANAABTIND", "Indirizzo", 260},
                        {"SANAABTCAP", "CAP", 60},
                        {"SANAABTCOM", "Comune", 180},
                        {"SANAABTPROV", "Prov.", 50}}) {}
};

class TfrAnaTel : public TfrAnaDetail {
public:
    explicit TfrAnaTel(QWidget *parent)
        : TfrAnaDetail(parent, "SELECT * FROM TANATEL WHERE IANAID = :IANAID ORDER BY IANATELID",
                       {{"SANATELNUM", "Numero", 160}, {"SANATELDESC", "Descrizione", 250}}) {}
};

class TfrAnaEMail : public TfrAnaDetail {
public:
    explicit TfrAnaEMail(QWidget *parent)
        : TfrAnaDetail(parent, "SELECT * FROM TANAEMAIL WHERE IANAID = :IANAID ORDER BY IANAEMAILID",
                       {{"SANAEMAILIND", "Indirizzo e-mail", 320}}) {}
};

// The persons of the admitted categories, with the frames the program asked for.
class TfmVoAnagrafiche : public TfmVoChildDB {
public:
    explicit TfmVoAnagrafiche(QWidget *parent)
        : TfmVoChildDB(parent), m_persons(new TVoQueryCollection(this)) {}

protected:
    void FormCreate() override {
        TfmVoChildDB::FormCreate();
        setWindowTitle(dmModAnaAtt->xafAnagrafica->Caption);
        QStringList categories;
        for (int c : dmModAnaAtt->CategorieAmmesse)
            categories << QString::number(c);
        if (categories.isEmpty())
            categories << QStringLiteral("-1");
        categories.sort();
        // The category numbers are the program's own integers, never user text.
        m_persons->SetConnection(dmModAnaAtt->Connection());
        m_persons->SetCommandText(
            QStringLiteral(
                "SELECT ana.IANAID, cag.SANACAGCODE, ana.SANACOGNOME, ana.SANANOME, ana.SANACODFISCALE "
                "FROM TANA_ANAGRAFICHE ana INNER JOIN TANACAG cag ON (cag.IANAID = ana.IANAID AND "
                "cag.DDELETE IS NULL) WHERE ana.DDELETE IS NULL AND cag.ICAGID IN (%1) ORDER BY "
                "ana.SANACOGNOME, ana.SANANOME")
                .arg(categories.join(QLatin1Char(','))));
        auto *layout = new QVBoxLayout(this);
        auto *splitter = new QSplitter(Qt::Vertical, this);
        layout->addWidget(splitter);
        m_list = ListView(splitter, m_persons,
                          {{"SANACAGCODE", "Matricola", 90},
                           {"SANACOGNOME", "Cognome", 180},
                           {"SANANOME", "Nome", 160},
                           {"SANACODFISCALE", "Codice fiscale", 150}});
        splitter->addWidget(m_list);
        auto *tabs = new QTabWidget(splitter);
        splitter->addWidget(tabs);
        QStringList classes, captions;
        if (dmModAnaAtt->OnAddFrames)
            for (int c : dmModAnaAtt->CategorieAmmesse)
                dmModAnaAtt->OnAddFrames(c, classes, captions);
        for (int i = 0; i < classes.size(); ++i) {
            QWidget *frame = CreateVoClass(classes[i], tabs);
            tabs->addTab(frame, captions.value(i));
            if (auto *detail = dynamic_cast<TfrAnaDetail *>(frame))
                m_details << detail;
        }
        m_persons->AfterScroll.Add([this](TVoQueryCollection *) { ShowDetails(); });
    }
    void FormShow() override {
        TfmVoChildDB::FormShow();
        m_persons->Open();
        ShowDetails();
        connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex &current) {
                    if (current.isValid())
                        VoGuarded([&] { m_persons->SetRecNo(current.row() + 1); });
                });
    }

private:
    void ShowDetails() {
        const int person =
            m_persons->IsEmpty() ? -1 : m_persons->FieldByName(QStringLiteral("IANAID"))->AsInteger();
        for (TfrAnaDetail *d : m_details)
            d->ShowPerson(person);
    }

    TVoQueryCollection *m_persons;
    QTableView *m_list = nullptr;
    QList<TfrAnaDetail *> m_details;
};

// The signatures printed on the reports.
class TfmznsFirme : public TfmVoChildDB {
public:
    explicit TfmznsFirme(QWidget *parent) : TfmVoChildDB(parent), m_data(new TVoQueryCollection(this)) {}

protected:
    void FormCreate() override {
        TfmVoChildDB::FormCreate();
        setWindowTitle(QStringLiteral("Firme"));
        m_data->SetConnection(qqoVoGlobConn);
        m_data->SetCommandText(QStringLiteral("SELECT * FROM TZNS_FIRME ORDER BY IZNSORDINE"));
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(ListView(
            this, m_data, {{"SZNSQUALIFICA", "Qualifica", 250}, {"SZNSNOMINATIVO", "Nominativo", 250}}));
    }
    void FormShow() override {
        TfmVoChildDB::FormShow();
        m_data->Open();
    }

private:
    TVoQueryCollection *m_data;
};

} // namespace

void VoAddOnsRegisterWindows() {
    VoRegisterFrameworkWindows();
    VO_REGISTER_CLASS(TfrAnaAbt);
    VO_REGISTER_CLASS(TfrAnaTel);
    VO_REGISTER_CLASS(TfrAnaEMail);
    VO_REGISTER_CLASS(TfmVoAnagrafiche);
    VO_REGISTER_CLASS(TfmznsFirme);
}

TdmModAnaAtt::TdmModAnaAtt(QObject *parent) : QObject(parent), Menu(new TdmVoAttivazioni(this)) {
    setObjectName(QStringLiteral("dmModAnaAtt"));
    xafAnagrafica = Menu->AddForm(QStringLiteral("xafAnagrafica"), nullptr, QStringLiteral("Anagrafica"),
                                  QStringLiteral("TfmVoAnagrafiche"));
}

void TdmModAnaAtt::FilterDialogSpecificsDef(int category, const QSet<int> &specifics) {
    m_specifics.insert(category, specifics);
}

TdmznsActivations::TdmznsActivations(QObject *parent) : QObject(parent), Menu(new TdmVoAttivazioni(this)) {
    setObjectName(QStringLiteral("dmznsActivations"));
    m_item = Menu->AddForm(QStringLiteral("xafFirme"), nullptr, QStringLiteral("Firme"),
                           QStringLiteral("TfmznsFirme"));
}
