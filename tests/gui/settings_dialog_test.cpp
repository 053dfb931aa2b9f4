// The "Fractal Image Settings" dialog: its fields carry the document's values
// in and out, and OK's refusals keep it open on the field with the user's text.
#include <QApplication>
#include <QTest>

#include "GuiFixture.h"
#include "dialogs/SettingsDialog.h"
#include "session/RenderSession.h"

namespace velmora::test {
namespace {

TEST(SettingsDialog, EnterIsRefusedOnTheFieldThenStoresEveryFieldAndTheChosenType) {
    FakeHost host;
    Document doc(host);
    RenderSession session{doc};
    doc.onNewDocument();
    gui::SettingsDialog dlg(doc, host);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_EQ(control<QLineEdit>(dlg, gui::SettingsDialog::kIdDetail)->text(), "200");
    EXPECT_FALSE(control(dlg, gui::SettingsDialog::kIdCReal)->isEnabled()) << "no constant for the Mandelbrot set";
    QTest::mouseClick(control<QAbstractButton>(dlg, gui::SettingsDialog::kIdJulia), Qt::LeftButton);
    EXPECT_TRUE(control(dlg, gui::SettingsDialog::kIdCReal)->isEnabled());
    setText(dlg, gui::SettingsDialog::kIdCReal, "-0.8");
    setText(dlg, gui::SettingsDialog::kIdDetail, "0");
    host.allowMessages = true;
    QTest::keyClick(control(dlg, gui::SettingsDialog::kIdLeft), Qt::Key_Return);
    ASSERT_EQ(host.messages.size(), 1u);  // the refusal's text is the core's; here: shown over the dialog
    EXPECT_EQ(QString::fromStdString(host.messages[0].ownerName), dlg.objectName());
    EXPECT_EQ(std::tuple(dlg.isVisible(), control<QLineEdit>(dlg, gui::SettingsDialog::kIdDetail)->text(),
                         QApplication::focusWidget()),
              std::tuple(true, QStringLiteral("0"), control(dlg, gui::SettingsDialog::kIdDetail)));
    setText(dlg, gui::SettingsDialog::kIdDetail, "99");
    setText(dlg, gui::SettingsDialog::kIdXPels, "301");
    setText(dlg, gui::SettingsDialog::kIdDensity, "2.5");
    setText(dlg, gui::SettingsDialog::kIdOffset, "3");
    QTest::keyClick(control(dlg, gui::SettingsDialog::kIdDetail), Qt::Key_Return);
    EXPECT_TRUE(dlg.m_accepted && !dlg.isVisible());
    EXPECT_EQ(std::tuple(doc.params().type, doc.params().cReal, doc.params().iterations, session.engine()->width()),
              std::tuple(FractalType::Julia, -0.8, 100, 301));
    EXPECT_EQ(doc.colourSpread(), (ColourSpread{2.5, 3.0}));
}

}  // namespace
}  // namespace velmora::test
