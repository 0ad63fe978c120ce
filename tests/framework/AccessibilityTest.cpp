// What a screen reader learns of the controls that paint themselves: their
// role, their name (the caption as shown) or value, and their changes.

#include "Accessibility.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <QAccessibleValueInterface>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

class Accessible : public ::testing::Test {
protected:
    void SetUp() override {
        SetAccessibleEventWatcher([this](QAccessibleEvent& event) {
            Heard.emplace_back(event.type(), event.object());
            if (event.type() == QAccessible::ValueChanged)
                Values.push_back(static_cast<QAccessibleValueChangeEvent&>(event).value().toInt());
        });
    }
    void TearDown() override { SetAccessibleEventWatcher(nullptr); }

    template <class T> T* Place() {
        auto* control = new T(&FForm);
        control->SetParentControl(&FForm);
        return control;
    }

    static QAccessibleInterface* Of(QObject* object) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
        EXPECT_NE(iface, nullptr);
        return iface;
    }

    int Count(QAccessible::Event type, QObject* object) const {
        int n = 0;
        for (const auto& [t, o] : Heard)
            if (t == type && o == object) ++n;
        return n;
    }

    std::vector<std::pair<QAccessible::Event, QObject*>> Heard;
    std::vector<int> Values;
    TForm FForm;
};

TEST_F(Accessible, ALabelIsStaticTextNamedByItsCaptionAndTellsOfANewOne) {
    auto* label = Place<TLabel>();
    label->SetCaption(QStringLiteral("Çağrı sayısı : "));
    QAccessibleInterface* iface = Of(label);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::StaticText);
    EXPECT_EQ(iface->text(QAccessible::Name), "Çağrı sayısı :");
    EXPECT_EQ(iface->object(), label);

    Heard.clear();
    label->SetCaption(QStringLiteral("7"));
    EXPECT_EQ(Count(QAccessible::NameChanged, label), 1);
    EXPECT_EQ(iface->text(QAccessible::Name), "7");
    // The same caption again is no change.
    label->SetCaption(QStringLiteral("7"));
    EXPECT_EQ(Count(QAccessible::NameChanged, label), 1);

    // A name the program gives wins over the caption.
    label->setAccessibleName(QStringLiteral("Çağrı sayısı"));
    EXPECT_EQ(iface->text(QAccessible::Name), "Çağrı sayısı");
}

TEST_F(Accessible, AGroupBoxIsAGroupingNamedByItsCaption) {
    auto* box = Place<TGroupBox>();
    box->SetCaption(QStringLiteral("  Sinyaller   "));
    auto* inner = new TLabel(&FForm);
    inner->SetParentControl(box);
    inner->SetCaption(QStringLiteral("Telefon 1"));
    QAccessibleInterface* iface = Of(box);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Grouping);
    EXPECT_EQ(iface->text(QAccessible::Name), "Sinyaller");
    // The box holds its controls for a tool as well.
    ASSERT_EQ(iface->childCount(), 1);
    EXPECT_EQ(iface->child(0)->text(QAccessible::Name), "Telefon 1");
    EXPECT_EQ(iface->child(0)->parent()->object(), box);

    Heard.clear();
    box->SetCaption(QStringLiteral("Bağlantı"));
    EXPECT_EQ(Count(QAccessible::NameChanged, box), 1);
    EXPECT_EQ(iface->text(QAccessible::Name), "Bağlantı");
}

TEST_F(Accessible, AProgressBarIsOneBarWhoseValueIsWhatItDraws) {
    auto* bar = Place<TProgressBar>();
    bar->SetMax(30);
    bar->SetPosition(2);
    QAccessibleInterface* iface = Of(bar);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::ProgressBar);
    // The Qt bar that draws it is not a second bar for a tool.
    EXPECT_EQ(iface->childCount(), 0);
    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 2);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(value->maximumValue().toInt(), 30);

    Heard.clear();
    Values.clear();
    bar->SetPosition(31);
    EXPECT_EQ(value->currentValue().toInt(), 30);
    EXPECT_EQ(iface->text(QAccessible::Value), "30");
    // A level beyond the range changes nothing that is drawn: no notice.
    bar->SetPosition(99);
    bar->SetPosition(-5);
    EXPECT_EQ(Count(QAccessible::ValueChanged, bar), 2);
    EXPECT_EQ(Values, (std::vector<int>{30, 0}));
    // A tool cannot move it.
    value->setCurrentValue(12);
    EXPECT_EQ(bar->Position(), -5);
}

TEST_F(Accessible, AStatusBarIsNamedByItsSimpleTextAndAnImageByItsHint) {
    auto* status = Place<TStatusBar>();
    status->SetSimpleText(QStringLiteral("Hazır"));
    QAccessibleInterface* iface = Of(status);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::StatusBar);
    // The text shows only on a simple panel.
    EXPECT_EQ(iface->text(QAccessible::Name), "");
    Heard.clear();
    status->SetSimplePanel(true);
    EXPECT_EQ(iface->text(QAccessible::Name), "Hazır");
    EXPECT_EQ(Count(QAccessible::NameChanged, status), 1);

    auto* image = Place<TImage>();
    image->SetHint(QStringLiteral("Bağlantı şeması"));
    QAccessibleInterface* picture = Of(image);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->role(), QAccessible::Graphic);
    EXPECT_EQ(picture->text(QAccessible::Name), "Bağlantı şeması");
}

class TCaptionLabel : public TLabel {
    Q_OBJECT
public:
    using TLabel::TLabel;
};

TEST_F(Accessible, AClassDerivedFromALabelIsStillALabel) {
    auto* label = Place<TCaptionLabel>();
    label->SetCaption(QStringLiteral("Seri no: 40211837"));
    QAccessibleInterface* iface = Of(label);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::StaticText);
    EXPECT_EQ(iface->text(QAccessible::Name), "Seri no: 40211837");
}

} // namespace

#include "AccessibilityTest.moc"
