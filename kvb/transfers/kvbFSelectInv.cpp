#include "kvbFSelectInv.h"

namespace {

const TkvbTransferProfile kInventory{
    "Passaggio ad inventario",
    "Sono stati selezionati %1 beni da passare nell'inventario.\r\nI beni verranno scaricati nell'anno "
    "finanziario %2.Continuare?",
    " INSERT INTO TBBUO_BUONI ( IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, SBBUODESC, IBBUOTIPO, "
    "ILOCKED, "
    "SBBUOAPPLSCARICO) VALUES ( :IBBUOID, :IDWGFACANFID, :IBBUONUMERO, :DBBUODATA, :SBBUODESC, 1, 0, 'INV');",
    "BUONO DI SCARICO ALL'INVENTARIO",
    true,
    true};

} // namespace

TfmkvbSelectinv::TfmkvbSelectinv(QWidget *parent) : TfmKvbSelectVelist(parent, kInventory) {
    setObjectName(QStringLiteral("fmkvbSelectinv"));
}
