// Window layouts: reading creates and configures the components, binds the
// handlers by name and resolves references; writing stores the same values.

#include "Streaming.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Framework.h"
#include "Menus.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class TLayoutTestForm : public TForm {
    Q_OBJECT
public:
    explicit TLayoutTestForm(QObject* owner = nullptr) : TForm(owner) {}
    int Clicks = 0;
    QChar LastKey;
    Q_INVOKABLE void ItemClick(QObject*) { ++Clicks; }
    Q_INVOKABLE void KeyHandler(QObject*, QChar& key) {
        LastKey = key;
        key = QChar();
    }
    Q_INVOKABLE void Tick(QObject*) {}
};

const char* const kLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<object class="TLayoutTestForm" name="Probe">
  <property name="Caption">Deneme penceresi</property>
  <property name="ClientWidth">300</property>
  <property name="ClientHeight">200</property>
  <property name="Color">clBtnFace</property>
  <property name="Font.Height">-13</property>
  <property name="Font.Name">Arial</property>
  <property name="Font.Style">[fsBold,fsItalic]</property>
  <property name="KeyPreview">True</property>
  <property name="Menu">Main</property>
  <property name="OnKeyPress">KeyHandler</property>
  <object class="TTimer" name="Ticker">
    <property name="Interval">250</property>
    <property name="OnTimer">Tick</property>
  </object>
  <object class="TPopupMenu" name="Popup">
    <object class="TMenuItem" name="First">
      <property name="Caption">Listeyi sil</property>
      <property name="OnClick">ItemClick</property>
    </object>
    <object class="TMenuItem">
      <property name="Caption">-</property>
    </object>
  </object>
  <object class="TMainMenu" name="Main">
    <object class="TMenuItem" name="Help">
      <property name="Caption">Yardım</property>
    </object>
  </object>
  <object class="TGroupBox" name="Box">
    <property name="Align">alClient</property>
    <property name="Caption">  Sinyaller   </property>
    <object class="TLabel" name="Counter">
      <property name="Left">14</property>
      <property name="Top">19</property>
      <property name="Caption">Çağrı sayısı : </property>
      <property name="PopupMenu">Popup</property>
    </object>
    <object class="TProgressBar" name="Bar">
      <property name="Left">86</property>
      <property name="Top">40</property>
      <property name="Width">91</property>
      <property name="Height">13</property>
      <property name="Max">30</property>
      <property name="Position">12</property>
    </object>
    <object class="TMemo" name="Notes">
      <property name="Align">alBottom</property>
      <property name="Height">40</property>
      <property name="Lines">
        <item>ilk satır  </item>
        <item/>
        <item>son</item>
      </property>
    </object>
  </object>
</object>
)";

struct Forms {
    Forms() { RegisterFrameworkClasses(); }
    std::unique_ptr<TLayoutTestForm> Read(const QByteArray& layout) {
        auto form = std::make_unique<TLayoutTestForm>();
        ReadComponent(form.get(), layout);
        return form;
    }
};

TEST(Streaming, ReadsPropertiesChildrenReferencesAndHandlers) {
    Forms forms;
    auto form = forms.Read(kLayout);
    EXPECT_EQ(form->objectName(), "Probe");
    EXPECT_EQ(form->Caption(), "Deneme penceresi");
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->ClientHeight(), 200);
    EXPECT_EQ(form->Font()->Style(), TFont::fsBold | TFont::fsItalic);
    EXPECT_EQ(form->Menu(), FindComponent(form.get(), "Main"));

    auto* counter = qobject_cast<TLabel*>(FindComponent(form.get(), "Counter"));
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(counter->Caption(), "Çağrı sayısı : ");
    EXPECT_EQ(counter->PopupMenu(), FindComponent(form.get(), "Popup"));
    // The label inherits the box's font, which inherited the window's.
    EXPECT_EQ(counter->Font()->Name(), "Arial");
    EXPECT_FALSE(counter->IsLoading());

    auto* box = qobject_cast<TGroupBox*>(FindComponent(form.get(), "Box"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(counter->ParentControl(), box);
    EXPECT_EQ(box->Width(), 300);

    auto* notes = qobject_cast<TMemo*>(FindComponent(form.get(), "Notes"));
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->Lines(), QStringList({"ilk satır  ", "", "son"}));
    EXPECT_EQ(qobject_cast<TProgressBar*>(FindComponent(form.get(), "Bar"))->Position(), 12);

    auto* first = qobject_cast<TMenuItem*>(FindComponent(form.get(), "First"));
    ASSERT_NE(first, nullptr);
    first->Click();
    EXPECT_EQ(form->Clicks, 1);
    EXPECT_EQ(first->OnClick.HandlerName(), "ItemClick");
    // An unnamed item belongs to the menu it stands in.
    auto* popup = qobject_cast<TPopupMenu*>(FindComponent(form.get(), "Popup"));
    ASSERT_EQ(popup->Items().size(), 2u);
    EXPECT_EQ(popup->Items()[1]->Caption(), "-");
    EXPECT_TRUE(popup->Items()[1]->objectName().isEmpty());

    QChar key(27);
    form->KeyPress(key);
    EXPECT_EQ(form->LastKey, QChar(27));
    EXPECT_TRUE(key.isNull());
}

TEST(Streaming, WriteThenReadKeepsEveryValue) {
    Forms forms;
    auto form = forms.Read(kLayout);
    const QByteArray written = WriteComponent(form.get());
    auto again = forms.Read(written);
    EXPECT_EQ(WriteComponent(again.get()), written);
    // Spot checks of kinds that are easy to lose: blanks at the ends of
    // texts, empty list items, sets, colours, references and handlers.
    EXPECT_TRUE(written.contains("<item>ilk satır  </item>"));
    EXPECT_TRUE(written.contains("[fsBold,fsItalic]"));
    EXPECT_TRUE(written.contains("clBtnFace"));
    EXPECT_TRUE(written.contains(">Popup</property>"));
    EXPECT_TRUE(written.contains(">ItemClick</property>"));
    EXPECT_TRUE(written.contains("<object class=\"TMenuItem\">"));
    // Values at their defaults are written too (zero, false, an empty set,
    // the first enumeration value); empty texts are not.
    EXPECT_TRUE(written.contains("<property name=\"Tag\">0</property>"));
    EXPECT_TRUE(written.contains("<property name=\"ReadOnly\">False</property>"));
    EXPECT_TRUE(written.contains("<property name=\"Align\">alNone</property>"));
    EXPECT_FALSE(written.contains("<property name=\"Hint\">"));
    TLayoutTestForm plain;
    EXPECT_TRUE(WriteComponent(&plain).contains("<property name=\"Font.Style\">[]</property>"));
    auto* box = qobject_cast<TGroupBox*>(FindComponent(again.get(), "Box"));
    EXPECT_EQ(box->Caption(), "  Sinyaller   ");
}

TEST(Streaming, RejectsBadLayoutsWithTheLineAndTheProblem) {
    Forms forms;
    const struct {
        const char* Layout;
        const char* Message;
    } cases[] = {
        {"", "Premature end of document"},
        {"<object class=\"TForm\"/>", "the layout is for class TForm, not TLayoutTestForm"},
        {"<object class=\"TLayoutTestForm\">\n<object class=\"TNoSuch\" name=\"X\"/></object>",
         "(line 2): Class TNoSuch not found"},
        {"<object class=\"TLayoutTestForm\"><property name=\"Colour\">1</property></object>",
         "property Colour does not exist"},
        {"<object class=\"TLayoutTestForm\"><property name=\"Position\">poNowhere</property>"
         "</object>",
         "invalid value 'poNowhere' for Position"},
        {"<object class=\"TLayoutTestForm\"><property name=\"ClientWidth\">wide</property>"
         "</object>",
         "invalid value 'wide' for ClientWidth"},
        {"<object class=\"TLayoutTestForm\"><property name=\"Menu\">Nothing</property></object>",
         "component Nothing not found"},
        {"<object class=\"TLayoutTestForm\"><property name=\"OnShow\">NoHandler</property>"
         "</object>",
         "method NoHandler for OnShow not found"},
        {"<object class=\"TLayoutTestForm\"><object class=\"TTimer\" name=\"T\"/>"
         "<property name=\"Menu\">T</property></object>",
         "T is not a TMainMenu"},
        {"<object class=\"TLayoutTestForm\"><object class=\"TLabel\" name=\"A\">"
         "<object class=\"TLabel\" name=\"B\"/></object></object>",
         "A cannot hold a TLabel"},
        {"<object class=\"TLayoutTestForm\"><object class=\"TLabel\" name=\"A\"/>"
         "<object class=\"TLabel\" name=\"A\"/></object>",
         "a component named A already exists"},
        {"<object class=\"TLayoutTestForm\"><property name=\"Font.Name.X\">a</property></object>",
         "property Name has no parts"},
        {"<object class=\"TLayoutTestForm\">", "Premature end of document"},
        // Text where only elements belong is damage, not something to skip.
        {"<object class=\"TLayoutTestForm\">\n  Caption=x\n</object>",
         "unexpected text 'Caption=x'"},
        {"<object class=\"TLayoutTestForm\"><object class=\"TMemo\" name=\"M\">"
         "<property name=\"Lines\">lost<item>a</item></property></object></object>",
         "unexpected text 'lost'"},
        {"<object class=\"TLayoutTestForm\"><property name=\"OnShow\"><x/></property></object>",
         "Expected character data"},
    };
    for (const auto& c : cases) {
        auto form = std::make_unique<TLayoutTestForm>();
        try {
            ReadComponent(form.get(), c.Layout);
            ADD_FAILURE() << "accepted: " << c.Layout;
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.Message)))
                << e.Message().toStdString() << "\n  wanted: " << c.Message;
        }
    }
}

TEST(Streaming, AHintShowsWhicheverOrderTheLayoutStoresItIn) {
    Forms forms;
    auto form = forms.Read(R"(<object class="TLayoutTestForm">
      <object class="TLabel" name="A"><property name="Hint">ipucu</property>
        <property name="ShowHint">True</property></object>
      <object class="TLabel" name="B"><property name="ShowHint">True</property>
        <property name="Hint">ipucu</property></object>
      <object class="TLabel" name="C"><property name="Hint">gizli</property></object>
    </object>)");
    EXPECT_EQ(qobject_cast<QWidget*>(FindComponent(form.get(), "A"))->toolTip(), "ipucu");
    EXPECT_EQ(qobject_cast<QWidget*>(FindComponent(form.get(), "B"))->toolTip(), "ipucu");
    EXPECT_EQ(qobject_cast<QWidget*>(FindComponent(form.get(), "C"))->toolTip(), "");
}

TEST(Streaming, DeepNestingIsRefusedNotRecursedInto) {
    Forms forms;
    QByteArray layout = "<object class=\"TLayoutTestForm\">";
    for (int i = 0; i < 200; ++i)
        layout += "<object class=\"TGroupBox\" name=\"G" + QByteArray::number(i) + "\">";
    auto form = std::make_unique<TLayoutTestForm>();
    EXPECT_THROW(ReadComponent(form.get(), layout), EReadError);
}

} // namespace

#include "StreamingTest.moc"
