#pragma once
// What the loading- and unloading-voucher windows share: how their collections are set up, their
// grids sorted, their actions made, and the list of vouchers of one kind.
#include <QString>

#include <initializer_list>

class QAction;
class QObject;
class TVoDBGrid;
class TVoQueryCollection;

// A collection on the global connection that writes through the statement lists given to it.
void kvbSetUpCollection(TVoQueryCollection *collection, const QString &sql);
void kvbSetLists(TVoQueryCollection *collection, std::initializer_list<const char *> inserts,
                 std::initializer_list<const char *> updates, std::initializer_list<const char *> deletes);
// Each grid column sorts on its own field.
void kvbSortColumnsOnTheirFields(TVoDBGrid *grid);
QAction *kvbNewAction(QObject *owner, const char *caption);
// The register-year's vouchers of a kind (parameter IDwgFacAnfID), with the amount of their goods
// (IBENIIMP): those a loading voucher took in charge, those an unloading voucher discharged. Only
// those whose amount differs from their goods' when notCorrect.
QString kvbVouchersSQL(int kind, bool notCorrect);
// The documents of a voucher (parameter iBBuoId); linking one to a loading voucher also gives the
// voucher the document's supplier when it has none.
void kvbSetUpDocuments(TVoQueryCollection *documents, int kind);
