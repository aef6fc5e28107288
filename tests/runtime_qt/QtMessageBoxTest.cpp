// The real Qt message box on the offscreen platform: for each style code the icon, the
// German buttons, the default button, the title, line breaks, and the answer to Escape.
#include "runtime/qt/QtMessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>

namespace {

QString plain(QString text) {
    return text.remove(QLatin1Char('&'));
}

// What the box looked like while it was open.
struct SeenBox {
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    Qt::TextFormat format = Qt::AutoText;
};

// Shows a box and, from a timer armed before it opens, records it and acts on it.
int showAndAct(const std::string& prompt, int style, SeenBox& seen, const std::function<void(QMessageBox&)>& act) {
    QTimer::singleShot(0, [&seen, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.format = box->textFormat();
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons << plain(button->text());
        }
        seen.buttons.sort();
        if (QPushButton* def = box->defaultButton()) {
            seen.defaultButton = plain(def->text());
        }
        act(*box);
    });
    rt::QtMessageBox service;
    return service.show(prompt, style, "Splitwerk 99");
}

struct StyleCase {
    int style;
    QMessageBox::Icon icon;
    QStringList buttons; // sorted
    QString defaultButton;
    int escapeAnswer;
};

TEST(QtMessageBoxTest, EachStyleHasItsIconButtonsDefaultAndEscapeAnswer) {
    const QString ok = QStringLiteral("OK");
    const QString cancel = QStringLiteral("Abbrechen");
    const StyleCase cases[] = {
        {rt::kCriticalOk, QMessageBox::Critical, {ok}, ok, rt::kResultOk},
        {rt::kCriticalOkCancel, QMessageBox::Critical, {cancel, ok}, ok, rt::kResultCancel},
        {rt::kInfoOk, QMessageBox::Information, {ok}, ok, rt::kResultOk},
        {rt::kInfoOkCancel, QMessageBox::Information, {cancel, ok}, ok, rt::kResultCancel},
        {rt::kQuestionYesNoDefaultNo,
         QMessageBox::Question,
         {QStringLiteral("Ja"), QStringLiteral("Nein")},
         QStringLiteral("Nein"),
         rt::kResultNo},
    };
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(c.style);
        SeenBox seen;
        const int answer =
            showAndAct("Frage", c.style, seen, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.title, QStringLiteral("Splitwerk 99"));
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.defaultButton, c.defaultButton);
        EXPECT_EQ(answer, c.escapeAnswer);
    }
}

// Each button gives its code; Return presses the default button; the close box answers as Escape.
TEST(QtMessageBoxTest, EachButtonReturnAndTheCloseBoxGiveTheirCode) {
    using Act = std::function<void(QMessageBox&)>;
    const auto press = [](QMessageBox::StandardButton button) {
        return Act([button](QMessageBox& box) { box.button(button)->click(); });
    };
    const struct {
        int style;
        Act act;
        int answer;
    } cases[] = {
        {rt::kCriticalOk, press(QMessageBox::Ok), rt::kResultOk},
        {rt::kCriticalOkCancel, press(QMessageBox::Ok), rt::kResultOk},
        {rt::kCriticalOkCancel, press(QMessageBox::Cancel), rt::kResultCancel},
        {rt::kInfoOk, press(QMessageBox::Ok), rt::kResultOk},
        {rt::kInfoOkCancel, press(QMessageBox::Ok), rt::kResultOk},
        {rt::kInfoOkCancel, press(QMessageBox::Cancel), rt::kResultCancel},
        {rt::kQuestionYesNoDefaultNo, press(QMessageBox::Yes), rt::kResultYes},
        {rt::kQuestionYesNoDefaultNo, press(QMessageBox::No), rt::kResultNo},
        {rt::kQuestionYesNoDefaultNo, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, rt::kResultNo},
        {rt::kInfoOkCancel, [](QMessageBox& box) { box.close(); }, rt::kResultCancel},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        SeenBox seen;
        EXPECT_EQ(showAndAct("Wollen Sie den Vorgang wirklich abbrechen?", cases[i].style, seen, cases[i].act),
                  cases[i].answer);
        ASSERT_TRUE(seen.found);
    }
}

TEST(QtMessageBoxTest, LoneCarriageReturnsBecomeLineBreaksAndTextStaysPlain) {
    SeenBox seen;
    showAndAct("Der Datenträger ist voll! Bitte die nächste Diskette\reinlegen und auf OK klicken.\r\r<b>x</b> & y",
               rt::kInfoOkCancel, seen, [](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, QStringLiteral("Der Datenträger ist voll! Bitte die nächste Diskette\neinlegen und auf OK "
                                        "klicken.\n\n<b>x</b> & y"));
    EXPECT_EQ(seen.format, Qt::PlainText);
}

} // namespace
