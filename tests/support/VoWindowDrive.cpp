#include "VoWindowDrive.h"

#include "VoDBDateEdit.h"
#include "VoDBFrames.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"
#include "VoWait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>

void VoCloseWindow(QWidget *closing) {
    QPointer<QWidget> window(closing);
    if (!window)
        return;
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete window.data();
}

void VoClick(QAbstractButton *button) {
    const QPoint at =
        qobject_cast<QCheckBox *>(button) ? QPoint(6, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
    QApplication::processEvents();
}

void VoTypeInto(QLineEdit *edit, const QString &text) {
    edit->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    edit->selectAll();
    if (text.isEmpty())
        VoPress(Qt::Key_Delete);
    else
        VoType(text);
    VoPress(Qt::Key_Tab);
}

void VoTypeDate(TVoDBDateEdit *edit, const QString &date) {
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    if (date.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, QString(date).remove(QLatin1Char('/')));
    VoPress(Qt::Key_Tab);
}

void VoSearchAndChoose(const QString &text, TVoSearchSeen *seen) {
    QWidget *window = QApplication::activeWindow();
    QTimer::singleShot(0, [text, seen] {
        auto *form = qobject_cast<TVoSearchDialog *>(QApplication::activeModalWidget());
        if (!form)
            return;
        if (seen) {
            seen->opened = true;
            seen->caption = form->windowTitle();
            const QAbstractItemModel *model = form->Grid()->model();
            for (int c = 0; c < model->columnCount(); ++c)
                if (!form->Grid()->isColumnHidden(c))
                    seen->titles << model->headerData(c, Qt::Horizontal).toString();
            seen->rows = form->RowCount();
        }
        QTest::keyClicks(form->SearchEdit(), text);
        QTest::keyClick(form->SearchEdit(), Qt::Key_Return);
    });
    VoPress(Qt::Key_F8);
    // Offscreen, the window the modal form covered is not activated again by itself.
    if (window) {
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window);
    }
}

TfrVoDBRWGrid *VoDeleteRow(QWidget *window, const QString &keyField, const QVariant &key,
                           TVoScriptedResponder *messages) {
    TfrVoDBRWGrid *frame = nullptr;
    for (TfrVoDBRWGrid *f : window->findChildren<TfrVoDBRWGrid *>())
        if (f->DataSet()->KeyField().compare(keyField, Qt::CaseInsensitive) == 0)
            frame = f;
    if (!frame || !frame->DataSet()->Locate(keyField, key))
        return nullptr;
    messages->Clear();
    messages->Push(mrYes);
    frame->xacDelete->Execute();
    return frame;
}

void VoAnswerSearch(const QString &text) {
    VoWhenModalOpens<TVoSearchDialog>([text](TVoSearchDialog *form) {
        if (text.isEmpty()) {
            form->reject();
            return;
        }
        form->SetSearchText(text);
        QTest::keyClick(form->SearchEdit(), Qt::Key_Return);
    });
}

TVoPressAnnulla::TVoPressAnnulla(int position) {
    TfmVoWait *wait = fmVoWait();
    wait->OnProgress = [this, wait, position](int reached) {
        m_counts << (wait->isVisible() ? wait->CountText() : QString());
        if (reached == position)
            wait->findChild<QPushButton *>(QStringLiteral("buAnnulla"))->click();
    };
}

TVoPressAnnulla::~TVoPressAnnulla() {
    fmVoWait()->OnProgress = nullptr;
}
