#include "VoDialogs.h"

#include "VoDataSource.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

TfmVoDialog::TfmVoDialog(QWidget *parent) : QDialog(parent) {}

void TfmVoDialog::done(int result) {
    switch (RunFormClose(caHide)) {
    case caNone:
        return;
    case caMinimize:
        showMinimized();
        return;
    case caFree:
        setAttribute(Qt::WA_DeleteOnClose);
        break;
    case caHide:
        break;
    }
    QDialog::done(result);
}

void TfmVoDialog::setVisible(bool visible) {
    if (visible && !isVisible()) {
        QWidget *focused = QApplication::focusWidget();
        m_returnFocus = focused && !isAncestorOf(focused) ? focused : nullptr;
    }
    const bool closing = !visible && isVisible();
    QDialog::setVisible(visible);
    if (!closing || !m_returnFocus)
        return;
    QWidget *back = m_returnFocus;
    m_returnFocus = nullptr;
    if (!back->isVisible() || !back->isEnabled())
        return;
    back->window()->activateWindow();
    back->setFocus(Qt::ActiveWindowFocusReason);
}

void TfmVoDialog::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        RunFormShow();
}

TfmVoOkCancDlg::TfmVoOkCancDlg(QWidget *parent)
    : TfmVoDialog(parent), pnClient(new QWidget(this)), buOk(new QPushButton(QStringLiteral("OK"), this)),
      buCancel(new QPushButton(QStringLiteral("Annulla"), this)), m_mainLayout(new QVBoxLayout(this)),
      m_buttonLayout(new QHBoxLayout) {
    buOk->setObjectName(QStringLiteral("buOk"));
    buCancel->setObjectName(QStringLiteral("buCancel"));
    pnClient->setObjectName(QStringLiteral("pnClient"));
    m_mainLayout->addWidget(pnClient, 1);
    m_buttonLayout->addStretch(1);
    m_buttonLayout->addWidget(buOk);
    m_buttonLayout->addWidget(buCancel);
    m_mainLayout->addLayout(m_buttonLayout);
    SetCancelDefault(false);
    // A value the dialog's own check would read wrongly (a date that does not exist) is refused first.
    connect(buOk, &QPushButton::clicked, this, [this] {
        if (VoValidateUnbound(this))
            VoGuarded([this] { buOkClick(); });
    });
    connect(buCancel, &QPushButton::clicked, this, [this] { VoGuarded([this] { buCancelClick(); }); });
}

void TfmVoOkCancDlg::SetCancelDefault(bool cancelDefault) {
    m_cancelDefault = cancelDefault;
    // A focused button still takes Enter itself, as on every desktop dialog.
    buOk->setDefault(!cancelDefault);
    buCancel->setDefault(cancelDefault);
}

void TfmVoOkCancDlg::showEvent(QShowEvent *e) {
    if (!m_focusArranged) {
        m_focusArranged = true;
        ArrangeFocus();
    }
    TfmVoDialog::showEvent(e);
}

void TfmVoOkCancDlg::ArrangeFocus() {
    // The buttons exist before the controls that a dialog adds: move them to the end of the tab
    // order, and let the dialog open with the focus on its first control, not on OK.
    QList<QWidget *> controls;
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        if (pnClient->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
            controls << w;
    QList<QWidget *> buttons;
    for (int i = 0; i < m_buttonLayout->count(); ++i)
        if (QWidget *w = m_buttonLayout->itemAt(i)->widget())
            buttons << w;
    QWidget *previous = controls.isEmpty() ? nullptr : controls.last();
    for (QWidget *button : buttons) {
        if (previous)
            setTabOrder(previous, button);
        previous = button;
    }
    QWidget *focus = focusWidget();
    if (!controls.isEmpty() && (!focus || buttons.contains(focus))) {
        for (QWidget *w : controls)
            if (w->isEnabled() && !w->isHidden()) {
                w->setFocus(Qt::OtherFocusReason);
                break;
            }
    }
}

void TfmVoOkCancDlg::buOkClick() {
    accept();
}

void TfmVoOkCancDlg::buCancelClick() {
    reject();
}

TfmVoWizard::TfmVoWizard(QWidget *parent)
    : TfmVoOkCancDlg(parent), pcMain(new QStackedWidget(pnClient)),
      buPrior(new QPushButton(QStringLiteral("< &Indietro"), this)),
      buNext(new QPushButton(QStringLiteral("&Avanti >"), this)) {
    pcMain->setObjectName(QStringLiteral("pcMain"));
    buPrior->setObjectName(QStringLiteral("buPrior"));
    buNext->setObjectName(QStringLiteral("buNext"));
    auto *client = new QVBoxLayout(pnClient);
    client->setContentsMargins(0, 0, 0, 0);
    client->addWidget(pcMain);
    ButtonLayout()->insertWidget(1, buPrior);
    ButtonLayout()->insertWidget(2, buNext);
    connect(buNext, &QPushButton::clicked, this, [this] { VoGuarded([this] { buNextClick(); }); });
    connect(buPrior, &QPushButton::clicked, this, [this] { VoGuarded([this] { buPriorClick(); }); });
    // Whatever enables or disables Next (a wizard's own CheckButtons too) decides what Enter presses.
    buNext->installEventFilter(this);
    CheckButtons();
}

bool TfmVoWizard::eventFilter(QObject *watched, QEvent *event) {
    if (watched == buNext &&
        (event->type() == QEvent::EnabledChange || event->type() == QEvent::ShowToParent ||
         event->type() == QEvent::HideToParent)) {
        const bool onward = buNext->isEnabled() && !buNext->isHidden();
        if (onward)
            buNext->setDefault(true);
        else
            SetCancelDefault(CancelDefault());
    }
    return TfmVoOkCancDlg::eventFilter(watched, event);
}

void TfmVoWizard::FocusPage() {
    QWidget *page = pcMain->currentWidget();
    if (!page)
        return;
    for (QWidget *w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain())
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
            w->isVisibleTo(page)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
}

int TfmVoWizard::AddPage(QWidget *page) {
    const int index = pcMain->addWidget(page);
    CheckButtons();
    return index;
}

int TfmVoWizard::ActivePageIndex() const {
    return pcMain->currentIndex();
}

void TfmVoWizard::SetActivePageIndex(int index) {
    pcMain->setCurrentIndex(index);
    CheckButtons();
}

int TfmVoWizard::PageCount() const {
    return pcMain->count();
}

void TfmVoWizard::buNextClick() {
    if (!VoValidateUnbound(pcMain->currentWidget()))
        return;
    bool allow = true;
    pcMainChanging(buNext, allow);
    if (!allow)
        return;
    if (ActivePageIndex() + 1 < PageCount())
        SetActivePageIndex(ActivePageIndex() + 1);
    NavigatorClick(buNext);
    FocusPage();
}

void TfmVoWizard::buPriorClick() {
    // Going back keeps what was typed on this page and judges it when the user comes forward again.
    bool allow = true;
    pcMainChanging(buPrior, allow);
    if (!allow)
        return;
    if (ActivePageIndex() > 0)
        SetActivePageIndex(ActivePageIndex() - 1);
    NavigatorClick(buPrior);
    FocusPage();
}

void TfmVoWizard::CheckButtons() {
    buPrior->setEnabled(ActivePageIndex() > 0);
    buNext->setEnabled(ActivePageIndex() + 1 < PageCount());
}
