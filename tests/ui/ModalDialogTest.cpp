#include "ui/ModalDialog.h"
#include "MessageCapture.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using gvt::ui::ModalDialog;

namespace {
struct Form {
    ModalDialog dialog;
    QLineEdit* edit = new QLineEdit(&dialog);
    QCheckBox* box = new QCheckBox(u"Box"_s, &dialog);
    QPushButton* save = new QPushButton(u"Save"_s, &dialog);
    int saves = 0;
    Form() {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(edit);
        layout->addWidget(box);
        layout->addWidget(save);
        QObject::connect(save, &QPushButton::clicked, [this] { ++saves; });
        dialog.show();
        QApplication::setActiveWindow(&dialog);
    }
};
} // namespace

TEST(ModalDialog, EnterPressesTheFocusedButtonOrClosesAsOk) {
    struct Case {
        const char* name;
        int key;
        bool focusOnSave;
        QDialog::DialogCode result;
        int saves;
        bool stillOpen;
    };
    const QList<Case> cases = {
        {"Enter in a field", Qt::Key_Return, false, QDialog::Accepted, 0, false},
        {"keypad Enter in a field", Qt::Key_Enter, false, QDialog::Accepted, 0, false},
        {"Enter on a push button", Qt::Key_Return, true, QDialog::Rejected, 1, true},
        {"Escape", Qt::Key_Escape, false, QDialog::Rejected, 0, false},
    };
    for (const Case& c : cases) {
        Form form;
        QWidget* target = c.focusOnSave ? static_cast<QWidget*>(form.save) : form.edit;
        target->setFocus();
        EXPECT_FALSE(form.save->autoDefault()) << c.name;
        QTest::keyClick(target, Qt::Key(c.key));
        EXPECT_EQ(form.dialog.result(), c.result) << c.name;
        EXPECT_EQ(form.saves, c.saves) << c.name;
        EXPECT_EQ(form.dialog.isVisible(), c.stillOpen) << c.name;
    }
}

TEST(MessageBox, CaptureRecordsOwnerTextAndIcon) {
    gvt::test::MessageCapture capture;
    QWidget owner;
    gvt::ui::showMessage(&owner, u"The file \"Init.con\" is missing or corrupt"_s,
                         gvt::ui::MessageIcon::Exclamation);
    ASSERT_EQ(capture.messages().size(), 1);
    EXPECT_EQ(capture.messages()[0].owner, &owner);
    EXPECT_EQ(capture.messages()[0].icon, gvt::ui::MessageIcon::Exclamation);
    EXPECT_EQ(capture.texts(), QStringList{u"The file \"Init.con\" is missing or corrupt"_s});
}
