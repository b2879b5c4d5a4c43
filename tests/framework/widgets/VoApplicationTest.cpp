// Exceptions from the program's handlers, reached by a key press: shown once as a message, and the
// program goes on.
#include "VoApplication.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoWidgetTest.h"

#include <QKeyEvent>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kFailure = QStringLiteral("Errore nel gestore");

[[noreturn]] void Fail() {
    throw EVoError(kFailure);
}

// A widget of the program whose own key handler fails: only the application can catch it.
class TFailingWidget : public QWidget {
public:
    TFailingWidget() { setFocusPolicy(Qt::StrongFocus); }

protected:
    void keyPressEvent(QKeyEvent *) override { Fail(); }
};

TEST(VoApplicationTest, AHandlerFailingOnAKeyPressIsShownOnceAndTheProgramGoesOn) {
    ASSERT_NE(qobject_cast<TVoApplication *>(QCoreApplication::instance()), nullptr);
    TVoScriptedMessages messages;
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *keyed = new TVoDBEdit;
    auto *changed = new TVoDBEdit;
    auto *date = new TVoDBDateEdit;
    auto *own = new TFailingWidget;
    for (QWidget *w : std::initializer_list<QWidget *>{keyed, changed, date, own})
        layout->addWidget(w);
    keyed->OnKeyDown.Add([](QWidget *, int &, Qt::KeyboardModifiers) { Fail(); });
    changed->OnChange.Add([](QWidget *) { Fail(); });
    date->OnButtonClick.Add([](QWidget *) { Fail(); });
    ASSERT_TRUE(VoShowActive(&window));

    const struct {
        const char *name;
        QWidget *target;
        Qt::Key key;
    } cases[] = {
        {"OnKeyDown of an edit", keyed, Qt::Key_A},
        {"OnChange of an edit", changed, Qt::Key_B},
        {"the picker key of a date edit", date, Qt::Key_F8},
        {"a widget's own key handler", own, Qt::Key_C},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        messages->Clear();
        c.target->setFocus();
        VoPress(c.key);
        EXPECT_EQ(messages->Texts(), QStringList{kFailure});
        EXPECT_EQ(messages->Shown().value(0).type, mtError);
    }
    // No calendar opens after a failed button handler.
    EXPECT_EQ(date->Calendar(), nullptr);
}

} // namespace
