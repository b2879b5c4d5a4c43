#pragma once
// The two add-on modules the programs' menus use: the persons registry (the responsibles of the
// delivery sectors are persons of it) and the signatures printed on the reports. Each brings one
// menu item and the window it opens.
#include "VoAttivazioni.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>

class TVoSQLConnection;

// The add-ons' windows by their class names (the registry with the responsibles' frames, the
// signatures), with the framework's beneath them: the programs register them at start-up.
void VoAddOnsRegisterWindows();

class TdmModAnaAtt : public QObject {
    Q_OBJECT
public:
    explicit TdmModAnaAtt(QObject *parent = nullptr);

    TdmVoAttivazioni *Menu;
    // Opens the persons registry.
    TVoAttForm *xafAnagrafica;

    // The categories of persons the registry shows.
    QSet<int> CategorieAmmesse;
    // The search specifics the registry offers for a category.
    void FilterDialogSpecificsDef(int category, const QSet<int> &specifics);
    QSet<int> FilterSpecifics(int category) const { return m_specifics.value(category); }
    // Asked for the extra frames of a category: their window classes and page captions.
    std::function<void(int kind, QStringList &frameClasses, QStringList &frameCaptions)> OnAddFrames;

    void SetConnection(TVoSQLConnection *connection) { m_connection = connection; }
    TVoSQLConnection *Connection() const { return m_connection; }

private:
    QHash<int, QSet<int>> m_specifics;
    TVoSQLConnection *m_connection = nullptr;
};

class TdmznsActivations : public QObject {
    Q_OBJECT
public:
    explicit TdmznsActivations(QObject *parent = nullptr);

    TdmVoAttivazioni *Menu;
    // The add-on's item; the program puts it on one of its pages.
    TVoCustomAtt *xafZnsItem() const { return m_item; }

private:
    TVoAttForm *m_item;
};

extern TdmModAnaAtt *dmModAnaAtt;
extern TdmznsActivations *dmznsActivations;
