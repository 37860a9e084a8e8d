#include "ItemIcons.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "SvgText.h"

namespace zv {
namespace {

constexpr double kFontSize = 12;
constexpr double kBaseline = 14.2;

ItemDrawing text(std::string_view content, double fontSize = kFontSize, std::string_view weight = "normal") {
    ItemDrawing drawing;
    drawing.width = estimatedTextWidth(content, fontSize, weight != "normal");
    drawing.body = "<text x=\"0\" y=\"" + svgNumber(kBaseline) + "\" font-size=\"" + svgNumber(fontSize) +
                   "\" font-weight=\"" + std::string(weight) + "\" fill=\"currentColor\">" + xmlEscaped(content) +
                   "</text>";
    return drawing;
}

ItemDrawing shape(double width, std::string body) { return ItemDrawing{width, std::move(body)}; }

// Text framed by a rounded box (VPN, the number of an unknown type).
ItemDrawing boxedText(std::string_view content, double fontSize) {
    const double textWidth = estimatedTextWidth(content, fontSize, true);
    const double width = textWidth + 6;
    return shape(width, "<rect x=\"0.5\" y=\"4.5\" width=\"" + svgNumber(width - 1) +
                            "\" height=\"11\" rx=\"2.5\" fill=\"none\" stroke=\"currentColor\"/>"
                            "<text x=\"3\" y=\"13\" font-size=\"" +
                            svgNumber(fontSize) + "\" font-weight=\"bold\" fill=\"currentColor\">" +
                            xmlEscaped(content) + "</text>");
}

ItemDrawing battery(const StatusBarPicture& picture) {
    const int level = std::clamp(picture.batteryLevel, 0, 100);
    const double fill = 19.0 * level / 100.0;
    const char* colour = picture.charging ? "#34c759" : (level <= 20 ? "#ff3b30" : "currentColor");
    std::string body =
        "<rect x=\"0.5\" y=\"5\" width=\"22\" height=\"10\" rx=\"2.5\" fill=\"none\" stroke=\"currentColor\" "
        "stroke-opacity=\"0.5\"/>"
        "<rect x=\"23.5\" y=\"8.5\" width=\"1.8\" height=\"3\" rx=\"0.8\" fill=\"currentColor\" fill-opacity=\"0.5\"/>";
    body += "<rect class=\"level\" x=\"2\" y=\"6.5\" width=\"" + svgNumber(fill) + "\" height=\"7\" rx=\"1.2\" fill=\"" +
            colour + "\"/>";
    if (picture.charging) {
        body += "<path class=\"bolt\" d=\"M12.5 3.5L7.5 10.8H11L9.8 16.5L15 9.2H11.5Z\" fill=\"currentColor\" "
                "stroke=\"#fff\" stroke-width=\"0.6\"/>";
    }
    return shape(26, std::move(body));
}

ItemDrawing bluetooth(const StatusBarPicture& picture) {
    const char* opacity = picture.bluetoothConnected ? "1" : "0.4";
    return shape(9, std::string("<path d=\"M1.5 6.5L7 12L4.5 14.5V5.5L7 8L1.5 13.5\" fill=\"none\" "
                                "stroke=\"currentColor\" stroke-width=\"1.4\" stroke-linejoin=\"round\" "
                                "stroke-opacity=\"") +
                        opacity + "\"/>");
}

// Eight spokes, fading clockwise.
ItemDrawing activity() {
    std::string body;
    for (int spoke = 0; spoke < 8; ++spoke) {
        const double angle = spoke * std::numbers::pi / 4;
        const double dx = std::cos(angle);
        const double dy = std::sin(angle);
        body += "<line x1=\"" + svgNumber(6 + 2.5 * dx) + "\" y1=\"" + svgNumber(10 + 2.5 * dy) + "\" x2=\"" +
                svgNumber(6 + 5 * dx) + "\" y2=\"" + svgNumber(10 + 5 * dy) +
                "\" stroke=\"currentColor\" stroke-width=\"1.3\" stroke-linecap=\"round\" stroke-opacity=\"" +
                svgNumber(0.25 + 0.75 * spoke / 7) + "\"/>";
    }
    return shape(12, std::move(body));
}

}  // namespace

ItemDrawing itemDrawing(int type, const StatusBarPicture& picture) {
    switch (type) {
        case 0:  // Time
            return text(picture.timeText, kFontSize, "600");
        case 1:  // QuietMode (DND): a crescent
            return shape(10, "<path d=\"M6.5 5.2A5 5 0 1 0 9.8 13.2A4 4 0 0 1 6.5 5.2Z\" fill=\"currentColor\"/>");
        case 2:  // Airplane
            return shape(14, "<path d=\"M13.5 10L9 8.8L6 3.5H4.5L6 8.8H2.5L1.5 7.2H0.5L1.2 10L0.5 12.8H1.5L2.5 11.2H6"
                             "L4.5 16.5H6L9 11.2Z\" fill=\"currentColor\"/>");
        case 3:  // SignalStrength: four rising bars
            return shape(17, "<rect x=\"0\" y=\"11.5\" width=\"3\" height=\"3\" rx=\"0.7\" fill=\"currentColor\"/>"
                             "<rect x=\"4.5\" y=\"9.5\" width=\"3\" height=\"5\" rx=\"0.7\" fill=\"currentColor\"/>"
                             "<rect x=\"9\" y=\"7.5\" width=\"3\" height=\"7\" rx=\"0.7\" fill=\"currentColor\"/>"
                             "<rect x=\"13.5\" y=\"5.5\" width=\"3\" height=\"9\" rx=\"0.7\" fill=\"currentColor\"/>");
        case 4:  // Carrier
            return text(picture.carrierName);
        case 5:  // DataNetwork (WiFi): a fan of arcs
            return shape(15, "<path d=\"M7.5 14.8L5.1 12A3.5 3.5 0 0 1 9.9 12Z\" fill=\"currentColor\"/>"
                             "<path d=\"M3.1 9.6A6.3 6.3 0 0 1 11.9 9.6M0.9 7A9.6 9.6 0 0 1 14.1 7\" fill=\"none\" "
                             "stroke=\"currentColor\" stroke-width=\"1.6\" stroke-linecap=\"round\"/>");
        case 7:
            return battery(picture);
        case 8:  // BatteryPercent
            return text(std::to_string(std::clamp(picture.batteryLevel, 0, 100)) + "%");
        case 9:
            return text("Not Charging");
        case 10:  // BluetoothBattery: a small rune beside an upright battery
            return shape(14, "<path d=\"M1 8L5 12L3 14V6L5 8L1 12\" fill=\"none\" stroke=\"currentColor\" "
                             "stroke-width=\"1.1\" stroke-linejoin=\"round\"/>"
                             "<rect x=\"8\" y=\"5\" width=\"5\" height=\"11\" rx=\"1.2\" fill=\"none\" "
                             "stroke=\"currentColor\"/><rect x=\"9.5\" y=\"3.8\" width=\"2\" height=\"1.2\" "
                             "fill=\"currentColor\"/><rect x=\"9\" y=\"9\" width=\"3\" height=\"6\" "
                             "fill=\"currentColor\"/>");
        case 11:
            return bluetooth(picture);
        case 12:  // TTY: a keyboard
            return shape(16, "<rect x=\"0.5\" y=\"6\" width=\"15\" height=\"8\" rx=\"1.5\" fill=\"none\" "
                             "stroke=\"currentColor\"/><path d=\"M3 9H5M7 9H9M11 9H13M4 11.5H12\" "
                             "stroke=\"currentColor\" stroke-width=\"1.2\"/>");
        case 13:  // Alarm: a clock with two bells
            return shape(14, "<circle cx=\"7\" cy=\"10.5\" r=\"5\" fill=\"none\" stroke=\"currentColor\" "
                             "stroke-width=\"1.3\"/><path d=\"M7 8V10.8H9M1.5 6L3.8 3.8M12.5 6L10.2 3.8\" "
                             "fill=\"none\" stroke=\"currentColor\" stroke-width=\"1.3\" stroke-linecap=\"round\"/>");
        case 14:  // Plus
            return shape(10, "<path d=\"M5 5V15M0 10H10\" stroke=\"currentColor\" stroke-width=\"2\"/>");
        case 16:  // Location: a navigation arrow
            return shape(11, "<path d=\"M10.5 4L0.5 8.6L5.3 9.7L6.4 14.5Z\" fill=\"currentColor\"/>");
        case 17:  // RotationLock: a padlock in a turning arrow
            return shape(14, "<path d=\"M11.8 7A5.5 5.5 0 1 0 12.5 10.5\" fill=\"none\" stroke=\"currentColor\" "
                             "stroke-width=\"1.3\"/><path d=\"M13 4V7.5H9.5Z\" fill=\"currentColor\"/>"
                             "<rect x=\"5\" y=\"9.5\" width=\"4\" height=\"3.5\" rx=\"0.6\" fill=\"currentColor\"/>"
                             "<path d=\"M5.8 9.5V8.3A1.2 1.2 0 0 1 8.2 8.3V9.5\" fill=\"none\" "
                             "stroke=\"currentColor\"/>");
        case 19:  // AirPlay: a screen with a triangle
            return shape(15, "<path d=\"M3.5 13H1.5A1 1 0 0 1 0.5 12V5.5A1 1 0 0 1 1.5 4.5H13.5A1 1 0 0 1 14.5 5.5"
                             "V12A1 1 0 0 1 13.5 13H11.5\" fill=\"none\" stroke=\"currentColor\"/>"
                             "<path d=\"M3.5 16.5H11.5L7.5 11.5Z\" fill=\"currentColor\"/>");
        case 20:  // Siri: a wave in a ring
            return shape(14, "<circle cx=\"7\" cy=\"10\" r=\"6\" fill=\"none\" stroke=\"currentColor\"/>"
                             "<path d=\"M3 10Q5 6 7 10T11 10\" fill=\"none\" stroke=\"currentColor\" "
                             "stroke-width=\"1.3\"/>");
        case 21:  // CarPlay: a car
            return shape(16, "<path d=\"M1 12.5V10L3 6.5H13L15 10V12.5Z\" fill=\"currentColor\"/>"
                             "<circle cx=\"4\" cy=\"13.5\" r=\"1.6\" fill=\"currentColor\"/>"
                             "<circle cx=\"12\" cy=\"13.5\" r=\"1.6\" fill=\"currentColor\"/>");
        case 22:
            return boxedText("VPN", 8);
        case 23:  // CallForward: a handset and an arrow
            return shape(14, "<path d=\"M1 8.5C1 12.5 4 15.5 8 15.5L9.5 13.5L7 12L6 13C4.5 12.5 3 11 2.5 9.5"
                             "L3.5 8.5L2.5 7Z\" fill=\"currentColor\"/><path d=\"M6 6.5H13M10 3.5L13 6.5L10 9.5\" "
                             "fill=\"none\" stroke=\"currentColor\" stroke-width=\"1.3\"/>");
        case 24:
            return activity();
        case 25:  // ThermalColor: a thermometer
            return shape(8, "<rect x=\"2.5\" y=\"3.5\" width=\"3\" height=\"9\" rx=\"1.5\" fill=\"none\" "
                            "stroke=\"currentColor\"/><circle cx=\"4\" cy=\"14\" r=\"2.8\" fill=\"#ff9500\"/>");
        case 31:  // Tethering: two linked rings
            return shape(16, "<circle cx=\"5.5\" cy=\"10\" r=\"3.8\" fill=\"none\" stroke=\"currentColor\" "
                             "stroke-width=\"1.5\"/><circle cx=\"10.5\" cy=\"10\" r=\"3.8\" fill=\"none\" "
                             "stroke=\"currentColor\" stroke-width=\"1.5\"/>");
        case 32: {  // Breadcrumb: the arrow leads
            ItemDrawing label = text("Back", 11);
            ItemDrawing drawing = shape(8 + label.width, "<path d=\"M5 6L1 10L5 14\" fill=\"none\" "
                                                         "stroke=\"currentColor\" stroke-width=\"1.5\"/>"
                                                         "<g transform=\"translate(8 0)\">" +
                                                             label.body + "</g>");
            return drawing;
        }
        case 33: {  // OpenInSafari: the arrow follows
            ItemDrawing label = text("Safari", 11);
            return shape(label.width + 9, label.body + "<path d=\"M" + svgNumber(label.width + 3) +
                                              " 6L" + svgNumber(label.width + 7) + " 10L" +
                                              svgNumber(label.width + 3) +
                                              " 14\" fill=\"none\" stroke=\"currentColor\" stroke-width=\"1.5\"/>");
        }
        case 98:
        case 99:  // spacer markers: room, no glyph
            return shape(8, "");
        default:
            return boxedText(std::to_string(type), 7);
    }
}

}  // namespace zv
