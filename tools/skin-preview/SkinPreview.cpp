// Composes pictures of the main window from the skin folder as the control factory reads it: each control's look at
// the place its layout rules give it, with the texts of the string tables, in the states the window passes
// through. It stands in for the window until the controls exist, to judge the design; it follows the skin's rules
// for placement, looks and text only as far as this skin uses them.
//
//     skin-preview <skin folder> <output folder>
//
// writes MainWindow.en.png and MainWindow.de.png.

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/SkinDescriptor.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ZV {
namespace {

constexpr double kPointsToPixels = 96.0 / 72.0;
constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 311;
constexpr int kCaptionHeight = 24;
constexpr int kGap = 16;

std::string Utf8(const WideString& text)
{
    return text.ToUTF8().GetData();
}

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// A control that only carries a descriptor, so that the factory finds the string tables of its children.
RCPtr<LControl> DescribedControl(const RCPtr<LControlDescriptor>& descriptor)
{
    RCPtr<LControl> control(new LControl(nullptr, descriptor->GetName()));
    (void)control->ApplyDescriptor(descriptor);
    return control;
}

// A control's font, measured and drawn with Cairo's own font selection, which finds the same faces through
// fontconfig as the framework does.
struct Font {
    std::string face;
    double points = 0;
    bool bold = false;
};

// One control of the picture: its descriptor, its state in the scene and where the layout put it.
struct Node {
    RCPtr<LControlDescriptor> descriptor;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
    std::string name;
    bool visible = true;
    std::uint32_t look = 0;
    std::string text;
    Font font;
    // In the parent's client coordinates.
    Rect rect;

    const SubControlSettings& Settings() const { return *descriptor->GetSubControlSettings(); }

    RCPtr<LLookDescriptor> ActiveLook() const
    {
        const RCPtr<LSkinDescriptor>& skin = descriptor->GetSkinDescriptor();
        if (!skin || !skin->GetLookList()) {
            return nullptr;
        }
        return skin->GetLookList()->GetLook(look);
    }

    Node* Find(const std::string& wanted)
    {
        for (const auto& child : children) {
            if (child->name == wanted) {
                return child.get();
            }
        }
        return nullptr;
    }
};

// The nodes of a descriptor's tree, each with the skin's font overridden by what its own skin sets.
std::unique_ptr<Node> BuildTree(const RCPtr<LControlDescriptor>& descriptor, Node* parent, const Font& skinFont)
{
    auto node = std::make_unique<Node>();
    node->descriptor = descriptor;
    node->parent = parent;
    node->name = Utf8(descriptor->GetName());
    node->visible = descriptor->GetSubControlSettings()->isVisible;
    node->font = skinFont;
    if (const RCPtr<LSkinDescriptor>& skin = descriptor->GetSkinDescriptor()) {
        const SkinFontSettings& own = skin->GetFont();
        node->font.face = own.name.IsEmpty() ? skinFont.face : Utf8(own.name);
        node->font.points = own.size >= 1.0f ? own.size : skinFont.points;
        node->font.bold = own.style == -1 ? skinFont.bold : own.style == 1 || own.style == 3;
    }
    const RCPtrArray<LControlDescriptor>& children = descriptor->GetSubControls();
    for (std::uint32_t i = 0; i < children.GetCount(); ++i) {
        node->children.push_back(BuildTree(children.GetData()[i], node.get(), skinFont));
    }
    return node;
}

void SelectFont(cairo_t* cr, const Font& font)
{
    cairo_select_font_face(cr, font.face.c_str(), CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.points * kPointsToPixels);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// The room the framework gives a text before the first glyph, a sixth of the font's size in pixels.
double Padding(const Font& font)
{
    return std::round(font.points * kPointsToPixels / 6);
}

// A text's width as the framework measures it: the padding and the advance.
double TextWidth(cairo_t* cr, const Font& font, const std::string& text)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return Padding(font) + std::round(extents.x_advance);
}

// The lines of a text: split at line breaks and, when wrapping, at the last blank that lets a line fit.
std::vector<std::string> LinesOf(cairo_t* cr, const Font& font, const std::string& text, bool wrap, double width)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string paragraph = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        while (wrap && TextWidth(cr, font, paragraph) >= width) {
            std::size_t cut = paragraph.size();
            do {
                cut = paragraph.rfind(' ', cut - 1);
            } while (cut != std::string::npos && cut > 0 && TextWidth(cr, font, paragraph.substr(0, cut)) >= width);
            if (cut == std::string::npos || cut == 0) {
                break;
            }
            lines.push_back(paragraph.substr(0, cut));
            paragraph = paragraph.substr(paragraph.find_first_not_of(' ', cut) == std::string::npos
                                             ? paragraph.size()
                                             : paragraph.find_first_not_of(' ', cut));
        }
        lines.push_back(paragraph);
        if (end == std::string::npos) {
            return lines;
        }
        start = end + 1;
    }
}

Rect TextBox(const TextProperties& text, double width, double height)
{
    const double left = text.leftAbs + text.leftRel * width;
    const double right = text.rightAbs + text.rightRel * width;
    const double top = text.topAbs + text.topRel * height;
    const double bottom = text.bottomAbs + text.bottomRel * height;
    return {left, top, right - left, bottom - top};
}

// The client rectangle of a node's active look, in the node's own coordinates.
Rect ClientRect(const Node& node)
{
    const RCPtr<LLookDescriptor> look = node.ActiveLook();
    if (!look || !look->GetClientPart()) {
        return {0, 0, node.rect.width, node.rect.height};
    }
    const DockingRecord& docking = look->GetClientPart()->GetDocking();
    const double left = std::clamp<double>(docking.offsetLeft, 0, node.rect.width);
    const double top = std::clamp<double>(docking.offsetTop, 0, node.rect.height);
    return {left, top, std::clamp<double>(node.rect.width - left + docking.offsetRight, 0, node.rect.width - left),
            std::clamp<double>(node.rect.height - top + docking.offsetBottom, 0, node.rect.height - top)};
}

// One axis of the placement rules; the frames are those of the parent (kind 0 and 1) and the named sibling.
void PlaceAxis(const Node& node, bool xAxis, double& position, double& size)
{
    const SubControlSettings& settings = node.Settings();
    const PositionRule& rule = xAxis ? settings.xPosition : settings.yPosition;
    const SizeRule& sizeRule = xAxis ? settings.xSize : settings.ySize;
    const Rect client = node.parent != nullptr ? ClientRect(*node.parent) : Rect{0, 0, kWindowWidth, kWindowHeight};
    const double parentExtent = node.parent != nullptr ? (xAxis ? node.parent->rect.width : node.parent->rect.height)
                                                       : (xAxis ? kWindowWidth : kWindowHeight);
    auto frame = [&](std::int32_t kind, bool named, const WideString& name, double& origin, double& extent) {
        if (named) {
            const Node* sibling = node.parent != nullptr ? node.parent->Find(Utf8(name)) : nullptr;
            origin = sibling != nullptr ? (xAxis ? sibling->rect.x : sibling->rect.y) : 0;
            extent = sibling != nullptr ? (xAxis ? sibling->rect.width : sibling->rect.height) : 0;
        } else if (kind == 0) {
            origin = -(xAxis ? client.x : client.y);
            extent = parentExtent;
        } else {
            origin = 0;
            extent = xAxis ? client.width : client.height;
        }
    };
    double origin = 0;
    double extent = 0;
    frame(rule.toControlKind, rule.toControlKind == kPositionToNamedControl, rule.toControlName, origin, extent);
    position = std::round(rule.rel * extent) + rule.abs + origin;
    if (sizeRule.toControlKind == kSizeToSelf) {
        size = std::max(0.0, sizeRule.abs);
    } else {
        frame(sizeRule.toControlKind, sizeRule.toControlKind == kSizeToNamedControl, sizeRule.toControlName, origin,
              extent);
        const double span = std::round(sizeRule.rel * extent) + origin + sizeRule.abs - position;
        const double anchor = rule.placementAnchor;
        size = span > 0 && anchor < 1 ? span / (1 - anchor) : 0;
    }
    const LimitRule& minimum = xAxis ? settings.xMinimum : settings.yMinimum;
    const LimitRule& maximum = xAxis ? settings.xMaximum : settings.yMaximum;
    double wanted = size;
    if (!minimum.toControl) {
        wanted = std::max(wanted, minimum.abs);
    }
    if (!maximum.toControl && maximum.abs > 0) {
        wanted = std::min(wanted, maximum.abs);
    }
    position -= rule.placementAnchor * size + std::round(rule.placementAnchor * (wanted - size));
    size = wanted;
}

// How wide a control that grows with its text must be (TextOverflowXType "Expand").
double ExpandedWidth(cairo_t* cr, const Node& node, double width)
{
    const RCPtr<LLookDescriptor> look = node.ActiveLook();
    if (node.Settings().textOverflowXType != kTextOverflowExpand || !look || !look->HasTextProperties()) {
        return width;
    }
    const Font& font = node.font;
    SelectFont(cr, font);
    const TextProperties& text = look->GetTextProperties();
    const Rect box = TextBox(text, width, node.rect.height);
    const double needed = TextWidth(cr, font, node.text);
    return needed > box.width ? width + std::ceil((needed - box.width) / (text.rightRel - text.leftRel)) : width;
}

void Layout(cairo_t* cr, Node& node)
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    PlaceAxis(node, false, y, height);
    node.rect.height = height;
    PlaceAxis(node, true, x, width);
    const double expanded = ExpandedWidth(cr, node, width);
    x -= std::round(node.Settings().xPosition.placementAnchor * (expanded - width));
    node.rect = {std::round(x), std::round(y), std::round(expanded), std::round(height)};
    for (const auto& child : node.children) {
        Layout(cr, *child);
    }
}

class ImageCache {
public:
    ~ImageCache()
    {
        for (auto& entry : mImages) {
            cairo_surface_destroy(entry.second);
        }
    }

    cairo_surface_t* Get(const std::string& path)
    {
        auto found = mImages.find(path);
        if (found == mImages.end()) {
            found = mImages.emplace(path, cairo_image_surface_create_from_png(path.c_str())).first;
        }
        return found->second;
    }

private:
    std::map<std::string, cairo_surface_t*> mImages;
};

void DrawPart(cairo_t* cr, ImageCache& images, const LVisualPartDescriptor& part, const Rect& box)
{
    if (box.width <= 0 || box.height <= 0) {
        return;
    }
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    cairo_clip(cr);
    const ImageSource& image = part.GetImage();
    if (!image.fileName.IsEmpty()) {
        cairo_surface_t* surface = images.Get(Utf8(image.fileName));
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
        cairo_matrix_t matrix;
        double left = box.x;
        double top = box.y;
        if (part.GetResizeType() == kResizeStretch) {
            cairo_matrix_init_scale(&matrix, image.width / box.width, image.height / box.height);
        } else {
            cairo_matrix_init_identity(&matrix);
            if (part.GetResizeType() == kResizeCenter) {
                left += std::trunc((box.width - image.width) / 2);
                top += std::trunc((box.height - image.height) / 2);
            }
        }
        cairo_matrix_translate(&matrix, -left, -top);
        cairo_matrix_t piece;
        cairo_matrix_init_translate(&piece, image.x, image.y);
        cairo_matrix_multiply(&matrix, &matrix, &piece);
        cairo_pattern_set_matrix(pattern, &matrix);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        cairo_set_source(cr, pattern);
        if (part.GetResizeType() == kResizeCenter) {
            cairo_rectangle(cr, left, top, image.width, image.height);
            cairo_fill(cr);
        } else {
            cairo_paint(cr);
        }
        cairo_pattern_destroy(pattern);
    } else if (const RCPtr<LColorizer>& colorizer = part.GetColorizer()) {
        const LColor& color = colorizer->GetColor();
        cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a * part.GetColorizerAlphaMod());
        cairo_paint(cr);
    }
    cairo_restore(cr);
}

Rect NonClientBox(const LDockedPart& docked, double width, double height)
{
    const DockingRecord& docking = docked.GetDocking();
    const double partWidth = docking.hasWidth ? docking.width : docked.GetPart()->GetSize().x;
    const double partHeight = docking.hasHeight ? docking.height : docked.GetPart()->GetSize().y;
    auto axis = [](bool hasNear, bool hasFar, double nearOffset, double farOffset, double extent, double own,
                   double& start, double& end) {
        end = hasFar ? extent + farOffset : extent;
        start = hasNear ? nearOffset : end - own;
        if (!hasFar) {
            end = start + own;
        }
        if (!hasNear && !hasFar) {
            start = std::trunc((extent - own) / 2);
            end = start + own;
        }
    };
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
    axis(docking.dockFlags & kDockLeft, docking.dockFlags & kDockRight, docking.offsetLeft, docking.offsetRight, width,
         partWidth, left, right);
    axis(docking.dockFlags & kDockTop, docking.dockFlags & kDockBottom, docking.offsetTop, docking.offsetBottom, height,
         partHeight, top, bottom);
    return {left, top, right - left, bottom - top};
}

void DrawText(cairo_t* cr, const Node& node, const LLookDescriptor& look)
{
    if (!look.HasTextProperties() || node.text.empty()) {
        return;
    }
    const TextProperties& properties = look.GetTextProperties();
    const Rect box = TextBox(properties, node.rect.width, node.rect.height);
    const Font& font = node.font;
    SelectFont(cr, font);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    const double lineHeight = std::round(extents.height);
    const std::vector<std::string> lines =
        LinesOf(cr, font, node.text, node.Settings().textOverflowXType == kTextOverflowWrap, box.width);
    const double top = std::trunc((box.height - lines.size() * lineHeight) * properties.vAlign);
    const LColor& color = properties.foregroundPart->GetColorizer()->GetColor();
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    cairo_clip(cr);
    cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double width = TextWidth(cr, font, lines[i]);
        const double x = box.x + std::trunc((box.width - width) * properties.hAlign) + Padding(font);
        const double y = box.y + top + i * lineHeight;
        cairo_move_to(cr, x, y - 1 + std::round(extents.ascent));
        cairo_show_text(cr, lines[i].c_str());
    }
    cairo_restore(cr);
}

// Children in the order the window draws them: clipped ones first, then by docked axes, then by Z order.
std::vector<Node*> DrawingOrder(const Node& node)
{
    std::vector<Node*> order;
    for (const auto& child : node.children) {
        order.push_back(child.get());
    }
    std::stable_sort(order.begin(), order.end(), [](const Node* a, const Node* b) {
        const SubControlSettings& left = a->Settings();
        const SubControlSettings& right = b->Settings();
        const int leftDocked = left.xIsDocked + left.yIsDocked;
        const int rightDocked = right.xIsDocked + right.yIsDocked;
        if (left.clipToParent != right.clipToParent) {
            return left.clipToParent;
        }
        return leftDocked != rightDocked ? leftDocked < rightDocked : left.zOrder < right.zOrder;
    });
    return order;
}

// What a drawing pass needs besides the node: the images, and the window's place on the surface, where a control
// that is not clipped to its parent is clipped instead.
struct Canvas {
    cairo_t* cr;
    ImageCache& images;
    Rect window;
};

void Draw(const Canvas& canvas, const Node& node)
{
    if (!node.visible || node.rect.width <= 0 || node.rect.height <= 0) {
        return;
    }
    cairo_t* cr = canvas.cr;
    ImageCache& images = canvas.images;
    cairo_save(cr);
    cairo_translate(cr, node.rect.x, node.rect.y);
    if (!node.Settings().clipToParent) {
        cairo_matrix_t matrix;
        cairo_get_matrix(cr, &matrix);
        cairo_identity_matrix(cr);
        cairo_reset_clip(cr);
        cairo_rectangle(cr, canvas.window.x, canvas.window.y, canvas.window.width, canvas.window.height);
        cairo_clip(cr);
        cairo_set_matrix(cr, &matrix);
    }
    cairo_rectangle(cr, 0, 0, node.rect.width, node.rect.height);
    cairo_clip(cr);
    const RCPtr<LLookDescriptor> look = node.ActiveLook();
    const Rect client = ClientRect(node);
    if (look && look->GetClientPart()) {
        DrawPart(cr, images, *look->GetClientPart()->GetPart(), client);
    }
    if (look) {
        const RCPtrArray<LDockedPart>& parts = look->GetNonClientParts();
        for (std::uint32_t i = 0; i < parts.GetCount(); ++i) {
            DrawPart(cr, images, *parts.GetData()[i]->GetPart(),
                     NonClientBox(*parts.GetData()[i], node.rect.width, node.rect.height));
        }
    }
    cairo_save(cr);
    cairo_translate(cr, client.x, client.y);
    for (const Node* child : DrawingOrder(node)) {
        Draw(canvas, *child);
    }
    cairo_restore(cr);
    if (look) {
        DrawText(cr, node, *look);
    }
    cairo_restore(cr);
}

// The texts of one language and the window's controls as the skin makes them.
class Window {
public:
    Window(const std::string& skinFolder, std::uint32_t localeId) : mFactory(new LControlFactory(L"Preview"))
    {
        if (Failed(mFactory->LoadResources(WideString(skinFolder.c_str()), localeId))) {
            throw std::runtime_error("the skin folder " + skinFolder + " does not load");
        }
        const RCPtr<LControlDescriptor> main = mFactory->FindControlDescriptor(L"mainControl");
        if (!main) {
            throw std::runtime_error("the skin has no mainControl");
        }
        WideString face;
        float points = 0;
        std::int32_t style = -1;
        // Answers 1 when the skin sets no font, which leaves the values above.
        (void)mFactory->GetSkinFont(face, points, style);
        mSkinFont = {Utf8(face), points, style == 1 || style == 3};
        mRoot = BuildTree(main, nullptr, mSkinFont);
        mMainAsParent = DescribedControl(main);
        mRoot->text = Text(nullptr, "mainControl", "LABEL");
        for (const auto& child : mRoot->children) {
            child->text = Text(mMainAsParent.Get(), child->name, "LABEL");
        }
        for (const char* name : {"buttonExit", "buttonUpdateFirmware", "buttonScanForDevice", "buttonReinitialize",
                                 "buttonManualDeviceHasUpdatedRescanButton", "labelDeviceInformation",
                                 "labelFirmwareFileInformation", "labelUpdateProcessInformation",
                                 "labelFileFirmwareVersion", "labelDeviceFirmwareVersion",
                                 "labelDeviceCannotUpdateError", "progressBar"}) {
            Main(name).visible = false;
        }
        Node& bar = Main("progressBar");
        const RCPtr<LControl> barAsParent = DescribedControl(bar.descriptor);
        for (const auto& child : bar.children) {
            child->text = Text(barAsParent.Get(), child->name, "LABEL");
        }
    }

    Node& Main(const std::string& name)
    {
        Node* child = mRoot->Find(name);
        if (child == nullptr) {
            throw std::runtime_error("the main control has no " + name);
        }
        return *child;
    }

    // Shows a label with one of its texts; "%s" in it becomes the argument.
    void ShowLabel(const std::string& name, const std::string& id, const std::string& argument = "")
    {
        Node& label = Main(name);
        label.visible = true;
        label.text = Text(mMainAsParent.Get(), name, id);
        if (const std::size_t at = label.text.find("%s"); at != std::string::npos) {
            label.text.replace(at, 2, argument);
        }
    }

    void ShowButton(const std::string& name, std::uint32_t look = 0)
    {
        Main(name).visible = true;
        Main(name).look = look;
    }

    // The bar at a fraction, with the time left as the bar writes it.
    void ShowProgress(double fraction, int minutes, int seconds)
    {
        Node& bar = Main("progressBar");
        bar.visible = true;
        const int percent = static_cast<int>(std::lround(fraction * 100));
        bar.Find("percentCompleteLabel")->text = std::to_string(percent);
        Node& fill = *bar.Find("activeOverlay");
        fill.descriptor = CloneWithWidth(fill.descriptor, std::round(bar.Settings().xSize.abs * fraction));
        bar.Find("timeRemainingLabel")->text = std::to_string(minutes) + " " +
                                               Framework(minutes == 1 ? "MINUTES_SINGULAR" : "MINUTES_PLURAL") + " " +
                                               std::to_string(seconds) + " " +
                                               Framework(seconds == 1 ? "SECONDS_SINGULAR" : "SECONDS_PLURAL") + " " +
                                               Framework("REMAINING");
    }

    // The menu bar shown, its titles made from the template, and the menu of one title open with its first item
    // under the pointer and checked.
    void ShowMenu(std::size_t openMenu)
    {
        Node& bar = Main("mainMenu");
        bar.visible = true;
        const RCPtr<LStringTable> table = mFactory->GetControlStringTable(mMainAsParent.Get(), L"mainMenu");
        std::unique_ptr<Node> menuTemplate = std::move(bar.children.front());
        bar.children.clear();
        for (std::size_t menu = 0;; ++menu) {
            StringPairArray items;
            const std::string number = menu < 10 ? "0" + std::to_string(menu) : std::to_string(menu);
            WideString title;
            if (!table->GetString(WideString(("MENU_LABEL." + number).c_str()), title)) {
                break;
            }
            // Answers 0 whatever it finds.
            (void)table->GetEntriesWithPrefix(WideString(("CONTEXT_MENU" + std::to_string(menu) + ".").c_str()), items);
            auto combo = BuildTree(menuTemplate->descriptor, &bar, mSkinFont);
            combo->name = Utf8(title);
            combo->text = combo->name;
            if (!bar.children.empty()) {
                combo->descriptor = FollowingMenu(combo->descriptor, bar.children.back()->name);
            }
            Node& popup = *combo->Find("popupMenu");
            popup.visible = menu == openMenu;
            combo->look = menu == openMenu ? 2 : 0;
            if (menu == openMenu) {
                FillMenu(popup, items);
            }
            bar.children.push_back(std::move(combo));
        }
    }

    void Render(const Canvas& canvas)
    {
        Layout(canvas.cr, *mRoot);
        Draw(canvas, *mRoot);
    }

private:
    std::string Text(const LControl* parent, const std::string& name, const std::string& id) const
    {
        const RCPtr<LStringTable> table = mFactory->GetControlStringTable(parent, WideString(name.c_str()));
        WideString text;
        return table && table->GetString(WideString(id.c_str()), text) ? Utf8(text) : "";
    }

    std::string Framework(const char* id) const
    {
        WideString text;
        return mFactory->GetFrameworkStringTable()->GetString(WideString(id), text) ? Utf8(text) : "";
    }

    static RCPtr<LControlDescriptor> WithLayout(const RCPtr<LControlDescriptor>& descriptor,
                                                const SubControlSettings& settings)
    {
        RCPtr<LLayoutDescriptor> layout = LControlFactory::MakeLayoutDescriptor();
        static_cast<SubControlSettings&>(*layout) = settings;
        return LControlFactory::DeriveControlDescriptor(descriptor, layout, descriptor->GetName());
    }

    static RCPtr<LControlDescriptor> CloneWithWidth(const RCPtr<LControlDescriptor>& descriptor, double width)
    {
        SubControlSettings settings = *descriptor->GetSubControlSettings();
        settings.xSize.abs = width;
        return WithLayout(descriptor, settings);
    }

    // A title placed at the right edge of the one before it.
    static RCPtr<LControlDescriptor> FollowingMenu(const RCPtr<LControlDescriptor>& descriptor,
                                                   const std::string& previous)
    {
        SubControlSettings settings = *descriptor->GetSubControlSettings();
        settings.xPosition = {0, kPositionToNamedControl, WideString(previous.c_str()), 1, 0};
        return WithLayout(descriptor, settings);
    }

    // One row per item, as wide as the widest row needs, the first under the pointer with its check mark.
    void FillMenu(Node& popup, const StringPairArray& items)
    {
        std::unique_ptr<Node> rowTemplate;
        for (auto& child : popup.children) {
            if (child->name == "templateItem") {
                rowTemplate = std::move(child);
            }
        }
        std::erase(popup.children, nullptr);
        cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cairo_t* cr = cairo_create(scratch);
        const Font& font = rowTemplate->font;
        SelectFont(cr, font);
        double widest = 0;
        const double rowHeight = rowTemplate->Settings().ySize.abs;
        for (std::uint32_t i = 0; i < items.GetCount(); ++i) {
            auto row = BuildTree(rowTemplate->descriptor, &popup, mSkinFont);
            const std::string text = Utf8(items.GetData()[i].second);
            row->text = text.substr(0, text.find('|'));
            row->look = i == 0 ? 8 : 0;
            row->Find("checkBox")->look = i == 0 ? 8 : 0;
            SubControlSettings settings = row->Settings();
            settings.yPosition.abs = i * rowHeight;
            row->descriptor = WithLayout(row->descriptor, settings);
            widest = std::max(widest, 54 + TextWidth(cr, font, row->text));
            popup.children.push_back(std::move(row));
        }
        cairo_destroy(cr);
        cairo_surface_destroy(scratch);
        const double corner = popup.Find("corner")->Settings().xSize.abs;
        SubControlSettings settings = popup.Settings();
        settings.xSize.abs = widest + corner;
        settings.ySize.abs = items.GetCount() * rowHeight + 6;
        popup.descriptor = WithLayout(popup.descriptor, settings);
    }

    RCPtr<LControlFactory> mFactory;
    Font mSkinFont;
    std::unique_ptr<Node> mRoot;
    RCPtr<LControl> mMainAsParent;
};

struct Scene {
    const char* caption;
    void (*set)(Window&);
};

const Scene kScenes[] = {
    {"Ready to update, the update button focused",
     [](Window& window) {
         window.ShowLabel("labelFirmwareFileInformation", "LABEL_FIRMARE_FILE_FOUND_VERSION_KNOWN");
         window.ShowLabel("labelDeviceInformation", "LABEL_DEVICE_NOT_IN_UPDATE_MODE");
         window.ShowLabel("labelUpdateProcessInformation", "LABEL_READY_FOR_UPDATE");
         window.ShowLabel("labelFileFirmwareVersion", "LABEL", "78822");
         window.ShowLabel("labelDeviceFirmwareVersion", "LABEL", "78500");
         window.ShowButton("buttonUpdateFirmware", 3);
         window.ShowButton("buttonExit");
     }},
    {"No device, the pointer on the scan button",
     [](Window& window) {
         window.ShowLabel("labelFirmwareFileInformation", "LABEL_FIRMARE_FILE_FOUND_VERSION_KNOWN");
         window.ShowLabel("labelDeviceInformation", "LABEL_NO_DEVICE_FOUND");
         window.ShowLabel("labelFileFirmwareVersion", "LABEL", "78822");
         window.ShowButton("buttonScanForDevice", 1);
         window.ShowButton("buttonExit");
     }},
    {"Updating",
     [](Window& window) {
         window.ShowLabel("labelUpdateProcessInformation", "LABEL_UPDATE_IN_PROGRESS");
         window.ShowLabel("labelFileFirmwareVersion", "LABEL", "78822");
         window.ShowProgress(0.45, 1, 5);
     }},
    {"Update sent, waiting for the device",
     [](Window& window) {
         window.ShowLabel("labelUpdateProcessInformation", "LABEL_UPDATE_TRANSITIONING_AFTER_UPDATE");
         window.ShowLabel("labelFileFirmwareVersion", "LABEL", "78822");
         window.ShowButton("buttonManualDeviceHasUpdatedRescanButton");
         window.ShowButton("buttonExit");
     }},
    {"Update failed, restart pressed; no file",
     [](Window& window) {
         window.ShowLabel("labelFirmwareFileInformation", "LABEL_FIRMARE_FILE_INVALID");
         window.ShowLabel("labelDeviceCannotUpdateError", "LABEL_CANNOT_UPDATE_FILE_ACCESS_FAILURE");
         window.ShowButton("buttonReinitialize", 2);
         window.ShowButton("buttonExit", 6);
     }},
    {"The menu bar, which the program keeps hidden",
     [](Window& window) {
         window.ShowLabel("labelUpdateProcessInformation", "LABEL_READY_FOR_UPDATE");
         window.ShowLabel("labelFileFirmwareVersion", "LABEL", "78822");
         window.ShowLabel("labelDeviceFirmwareVersion", "LABEL", "78500");
         window.ShowButton("buttonUpdateFirmware");
         window.ShowButton("buttonExit");
         window.ShowMenu(1);
     }},
};

bool WritePreview(const std::string& skinFolder, std::uint32_t localeId, const std::string& path)
{
    constexpr int kColumns = 2;
    constexpr int kRows = (static_cast<int>(std::size(kScenes)) + kColumns - 1) / kColumns;
    const int width = kGap + kColumns * (kWindowWidth + kGap);
    const int height = kGap + kRows * (kCaptionHeight + kWindowHeight + kGap);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.82, 0.84, 0.87);
    cairo_paint(cr);
    ImageCache images;
    int index = 0;
    for (const Scene& scene : kScenes) {
        const double x = kGap + (index % kColumns) * (kWindowWidth + kGap);
        const double y = kGap + (index / kColumns) * (kCaptionHeight + kWindowHeight + kGap);
        cairo_set_source_rgb(cr, 0.2, 0.22, 0.26);
        SelectFont(cr, {"Sans", 9, false});
        cairo_move_to(cr, x, y + 15);
        cairo_show_text(cr, scene.caption);
        Window window(skinFolder, localeId);
        scene.set(window);
        cairo_save(cr);
        cairo_translate(cr, x, y + kCaptionHeight);
        window.Render({cr, images, {x, y + kCaptionHeight, kWindowWidth, kWindowHeight}});
        cairo_restore(cr);
        ++index;
    }
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "skin-preview: cannot write %s: %s\n", path.c_str(), cairo_status_to_string(status));
        return false;
    }
    return true;
}

}  // namespace
}  // namespace ZV

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: skin-preview <skin folder> <output folder>\n");
        return 2;
    }
    try {
        const std::string output = argv[2];
        const bool written = ZV::WritePreview(argv[1], 0x0009, output + "/MainWindow.en.png") &&
                             ZV::WritePreview(argv[1], 0x0007, output + "/MainWindow.de.png");
        // Cairo's and fontconfig's caches let go, so that the leak checker of the sanitizer builds sees only what
        // the preview itself would lose.
        cairo_debug_reset_static_data();
        FcFini();
        return written ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "skin-preview: %s\n", error.what());
        return 1;
    }
}
