#include "kvaRBeniCaricoSca.h"

#include <QToolBar>

TfrkvaBeniCaricoSca::TfrkvaBeniCaricoSca(QWidget *parent)
    : TfrkvaBeniCarico(1, parent), tbInsMult(tbMassa->addAction(QStringLiteral("Inserimento multiplo"))) {
    tbInsMult->setVisible(false);
}
