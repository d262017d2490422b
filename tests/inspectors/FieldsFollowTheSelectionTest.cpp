#include "InspectorTesting.h"
#include "inspectors/attributes/VLQNAttributesController.h"
#include "inspectors/object_inspector/VXDrawableController.h"
#include "inspectors/text/VLTMTextController.h"
#include "platform/ui/ColourWell.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Large enough that the first, a middle and the last object lie far apart in the selection.
constexpr int kSelected = 2000;

// What a tab shows, one line per widget: text, check state, colour, visibility, and the cells
// of item views. Not the enabling: a lock's follows the order in which the keys are shown.
// Sorted: a pane made again may make its widgets in another order.
QStringList shownState(QWidget* root)
{
    QStringList shown;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        QString line = QString::fromLatin1(widget->metaObject()->className());
        if (!widget->isVisibleTo(root)) {
            shown.append(line + QStringLiteral(" hidden"));
            continue;
        }
        if (const auto* well = qobject_cast<platform::ColourWell*>(widget))
            line += QLatin1Char(' ') + well->color().name(QColor::HexArgb);
        else if (const auto* field = qobject_cast<QLineEdit*>(widget))
            line += QLatin1Char(' ') + field->text() + QLatin1Char('|') + field->placeholderText();
        else if (const auto* checkbox = qobject_cast<QCheckBox*>(widget))
            line += QStringLiteral(" %1 %2").arg(checkbox->text()).arg(int(checkbox->checkState()));
        else if (const auto* button = qobject_cast<QAbstractButton*>(widget))
            line += QStringLiteral(" %1 %2").arg(button->text()).arg(button->isChecked());
        else if (const auto* label = qobject_cast<QLabel*>(widget))
            line += QLatin1Char(' ') + label->text();
        else if (const auto* popUp = qobject_cast<QComboBox*>(widget))
            line += QLatin1Char(' ') + popUp->currentText();
        else if (const auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model()) {
            const QAbstractItemModel& model = *view->model();
            for (int row = 0; row < model.rowCount(); ++row)
                for (int column = 0; column < model.columnCount(); ++column)
                    line += QLatin1Char(' ') + model.index(row, column).data().toString();
        }
        shown.append(line);
    }
    shown.sort();
    return shown;
}

// The lines of one state missing from the other, each marked with the state it is in.
std::string differences(const QStringList& shown, const QStringList& expected)
{
    QStringList lines;
    for (const QString& line : shown)
        if (!expected.contains(line))
            lines.append(QStringLiteral("shown:    ") + line);
    for (const QString& line : expected)
        if (!shown.contains(line))
            lines.append(QStringLiteral("expected: ") + line);
    return lines.join(QLatin1Char('\n')).toStdString();
}

// A value other than `value`, of its type.
QVariant otherValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return !value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return (value.toInt() + 1) % 3;
    case QMetaType::Double:
        return value.toDouble() + 7.5;
    case QMetaType::QString:
        return QString(value.toString() + QStringLiteral(" Mill"));
    case QMetaType::QColor: {
        const QColor colour = value.value<QColor>();
        return QColor(255 - colour.red(), 255 - colour.green(), 255 - colour.blue());
    }
    case QMetaType::QFont: {
        QFont font = value.value<QFont>();
        font.setPointSizeF(font.pointSizeF() + 3);
        return font;
    }
    default:
        return {};
    }
}

// A tab showing a selection, which it can be made to load afresh: what it then shows is what
// it must show after any change.
struct ShownTab {
    virtual ~ShownTab() = default;
    virtual QWidget* view() = 0;
    virtual void loadAfresh() = 0;
    static void settle() { platform::RunLoop::runUntilIdle(); }
    QList<VXDrawableObjectPtr> objects;
};

// A tab of the map window, following the drawing's selection.
template <class Tab> struct DrawingTab : ShownTab, inspectortest::InspectorTabFixture<Tab> {
    DrawingTab(std::shared_ptr<Tab> tab, QSize size, const std::function<VXDrawableObjectPtr(int)>& make)
        : inspectortest::InspectorTabFixture<Tab>(std::move(tab), size)
    {
        for (int i = 0; i < kSelected; ++i)
            objects.append(this->add(make(i)));
        this->select(objects);
        this->forgetEdits();
    }
    QWidget* view() override { return this->tab->view(); }
    void loadAfresh() override
    {
        this->select({});
        this->select(objects);
    }
};

// The floating inspector's General tab, given the objects.
struct GeneralTab : ShownTab {
    VXDrawableController controller;
    GeneralTab()
    {
        for (int i = 0; i < kSelected; ++i)
            objects.append(VXDrawableShape::drawableShapeWithRect(QRectF(10, 10 + i, 50, 40), nullptr));
        loadAfresh();
    }
    QWidget* view() override { return controller.view(); }
    void loadAfresh() override
    {
        controller.setContent({});
        controller.setContent({objects.cbegin(), objects.cend()});
        settle();
    }
};

VXStylePtr namedStyle(const QString& name)
{
    VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::yellow, Qt::black);
    style->setName(name);
    return style;
}

VXDrawableObjectPtr namedShape(int i)
{
    VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(QRectF(10, 10 + i * 0.01, 50, 40), nullptr);
    shape->assignUserNameWithFlag(QStringLiteral("Church"), true);
    shape->addMetadata({{QStringLiteral("lanes"), 2}, {QStringLiteral("surface"), QStringLiteral("gravel")}});
    return shape;
}

struct TabCase {
    const char* name;
    std::function<std::unique_ptr<ShownTab>()> make;
    // The key paths the tab reads, each written with a value of its type; "style" gets a style.
    QStringList keyPaths;
};

QList<TabCase> tabCases()
{
    const VXStylePtr shared = namedStyle(QStringLiteral("Coast"));
    const auto styled = [shared](int i) {
        VXDrawableObjectPtr shape = namedShape(i);
        shape->setStyle(shared);
        return shape;
    };
    const auto text = [](int i) -> VXDrawableObjectPtr {
        return VXTextShape::textShapeWithStringInRect(QStringLiteral("Harbour"), QRectF(10, 10 + i * 0.01, 200, 60));
    };
    const auto line = [](int i) -> VXDrawableObjectPtr {
        return inspectortest::straightPath({10, 10 + i * 0.01}, {110, 10 + i * 0.01});
    };
    return {
        {"general", [] { return std::make_unique<GeneralTab>(); },
         {"name", "visible", "locked", "ghosted", "style"}},
        {"geometry",
         [styled] { return std::make_unique<DrawingTab<VLTMGeometryController>>(VLTMGeometryController::make(), QSize(260, 700), styled); },
         {"xLocation", "yLocation", "width", "height", "angleInDegrees", "visible", "locked", "aspectRatioLocked",
          "name", "style"}},
        {"geometry of lines",
         [line] { return std::make_unique<DrawingTab<VLTMGeometryController>>(VLTMGeometryController::make(), QSize(260, 700), line); },
         {"length", "xLocation"}},
        {"text",
         [text] { return std::make_unique<DrawingTab<VLTMTextController>>(VLTMTextController::make(), QSize(280, 900), text); },
         {"textAdornment.font", "textAdornment.fontSize", "textAdornment.colour", "textAdornment.alignment",
          "textAdornment.underlines", "textAdornment.strikethroughs", "textAdornment.outlineColour",
          "textAdornment.outlineWidth", "textAdornment.textKnockoutDistance", "textAdornment.textKnockoutColour",
          "textAdornment.wrapsLines", "textAdornment.capitalization", "locked"}},
        {"attributes",
         [] { return std::make_unique<DrawingTab<VLQNAttributesController>>(VLQNAttributesController::make(), QSize(300, 500), namedShape); },
         {"name", "lanes", "surface"}},
    };
}

} // namespace

TEST(InspectorFields, EveryFieldFollowsAChangeOfTheFirstAMiddleAndTheLastSelectedObject)
{
    for (const TabCase& tabCase : tabCases()) {
        SCOPED_TRACE(tabCase.name);
        const std::unique_ptr<ShownTab> tab = tabCase.make();
        const QStringList loaded = shownState(tab->view());
        for (const QString& keyPath : tabCase.keyPaths) {
            for (const qsizetype at : {qsizetype(0), qsizetype(kSelected / 2 + 1), qsizetype(kSelected - 1)}) {
                SCOPED_TRACE(QStringLiteral("%1 of object %2").arg(keyPath).arg(at).toStdString());
                ZQObject& object = *tab->objects[at];
                const QVariant before = object.valueForKeyPath(keyPath);
                const VXStylePtr otherStyle = namedStyle(QStringLiteral("Mill"));
                const QVariant other =
                    keyPath == QLatin1String("style") ? QVariant::fromValue(otherStyle.get()) : otherValue(before);
                ASSERT_TRUE(other.isValid()) << before.typeName();
                object.setValueForKeyPath(other, keyPath);
                ASSERT_NE(object.valueForKeyPath(keyPath), before);
                tab->settle();
                const QStringList changed = shownState(tab->view());
                tab->loadAfresh();
                EXPECT_EQ(differences(changed, shownState(tab->view())), "");

                object.setValueForKeyPath(before, keyPath);
                tab->settle();
                EXPECT_EQ(differences(shownState(tab->view()), loaded), "");
            }
        }
    }
}
