#pragma once

#include <QRect>
#include <string_view>

namespace vondrel::design {

// Places are stored in twips, 15 to the pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

struct Place {
    std::string_view name;
    // Left, top, width, height in twips, relative to the window's client area or, for an
    // element inside a panel, to that panel.
    int left, top, width, height;
    std::string_view parent = {};

    constexpr QRect pixels() const {
        return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                height / kTwipsPerPixel};
    }
};

inline constexpr int kClientWidth = 8730, kClientHeight = 5325;

// Every visible element of the main window at its place.
inline constexpr Place kMainWindow[] = {
    {"lblSelectyourVek", 105, 195, 1575, 240}, {"pctUI(0)", 1815, 180, 3285, 555},
    {"imcFaces", 1845, 225, 3225, 375},        {"imgMaxVEK", 975, 435, 330, 330},
    {"pctMaxVek", 975, 435, 330, 330},         {"imgMaxFAM", 1410, 435, 330, 330},
    {"pctMaxFAM", 1410, 435, 330, 330},        {"lblAttributes", 135, 960, 960, 240},
    {"lblAbilities", 2685, 960, 825, 240},     {"pctUI(1)", 90, 1230, 2460, 3210},
    {"pctUI(2)", 2655, 1230, 2460, 3210},      {"prgNeat", 1515, 1410, 915, 405},
    {"prgOutgoing", 1515, 1890, 915, 405},     {"prgActive", 1515, 2385, 915, 405},
    {"prgPlayful", 1515, 2880, 915, 405},      {"prgNice", 1515, 3375, 915, 405},
    {"prgCleaning", 1515, 3870, 915, 405},     {"prgCooking", 4080, 1410, 915, 405},
    {"prgMechanical", 4080, 1890, 915, 405},   {"prgCharisma", 4080, 2385, 915, 405},
    {"prgBody", 4080, 2880, 915, 405},         {"prgLogic", 4080, 3375, 915, 405},
    {"prgCreativity", 4080, 3870, 915, 405},   {"lblRelationships", 5370, 210, 1335, 240},
    {"pctUI(4)", 5355, 510, 3285, 555},        {"imcRelationship", 5385, 555, 3225, 375},
    {"prgYFeel", 5385, 1110, 2865, 375},       {"chkYLove", 8310, 1110, 375, 375},
    {"prgSFeel", 5385, 1530, 2865, 375},       {"chkSLove", 8310, 1530, 375, 375},
    {"pctUI(3)", 6075, 2130, 2565, 555},       {"txtFundo", 870, 45, 1650, 465, "pctUI(3)"},
    {"lblJob", 5520, 2280, 405, 240},          {"imcJobIcon", 6120, 2175, 825, 345},
    {"imcJobs", 6990, 2250, 1605, 345},        {"lblPerf", 5415, 2850, 510, 240},
    {"prgPerf", 6090, 2790, 2550, 405},        {"lbllFamName", 5340, 3405, 1155, 240},
    {"lblFamName", 6510, 3405, 945, 240},      {"lbllAddress", 5685, 3735, 810, 240},
    {"lblAddress", 6510, 3735, 945, 240},      {"lblMoney", 5805, 4065, 690, 240},
    {"txtMoney", 6690, 4050, 765, 285},        {"lblLingering", 7665, 4065, 435, 240},
    {"cmbLingering", 8145, 4050, 555, 315},    {"btnGhost", 7620, 3420, 1110, 465},
    {"lblGhost", 7905, 3525, 540, 240},        {"imgGhost", 7620, 3420, 1110, 465},
    {"btnSave", 120, 4575, 1605, 645},         {"btnExit", 1770, 4575, 1605, 645},
    {"btnHelp", 3420, 4575, 1605, 645},        {"btnAbout", 5445, 4575, 1605, 645},
    {"lblSave", 165, 4770, 1500, 240},         {"lblExit", 1800, 4770, 1500, 240},
    {"lblHelp", 3465, 4770, 1500, 240},        {"lblAbout", 5490, 4770, 1500, 240},
    {"imgSave", 120, 4575, 1605, 645},         {"imgExit", 1770, 4575, 1605, 645},
    {"imgHelp", 3420, 4575, 1605, 645},        {"imgAbout", 5445, 4575, 1605, 645},
    {"imgLogo", 7200, 4590, 1425, 645},        {"imgDiv(0)", 5205, 0, 120, 5400},
    {"imgDiv(1)", 5205, 1935, 3525, 120},      {"imgDiv(2)", 5205, 3255, 3525, 120},
    {"imgDiv(3)", 5205, 4365, 3495, 120},      {"imgDiv(4)", 7500, 3195, 120, 1350},
};

// The bar labels sit inside their panels, sized to their text, ending at a right edge.
struct BarLabel {
    std::string_view name;
    std::string_view panel;
    int rightEdge, top, height;
};
inline constexpr BarLabel kBarLabels[] = {
    {"lblNeat", "pctUI(1)", 1365, 240, 240},      {"lblOutgoing", "pctUI(1)", 1365, 732, 240},
    {"lblActive", "pctUI(1)", 1365, 1224, 240},   {"lblPlayful", "pctUI(1)", 1365, 1716, 240},
    {"lblNice", "pctUI(1)", 1365, 2208, 240},     {"lblCleaning", "pctUI(1)", 1365, 2700, 240},
    {"lblCooking", "pctUI(2)", 1395, 240, 240},   {"lblMechanical", "pctUI(2)", 1395, 735, 240},
    {"lblCharisma", "pctUI(2)", 1395, 1230, 240}, {"lblBody", "pctUI(2)", 1395, 1710, 240},
    {"lblLogic", "pctUI(2)", 1395, 2205, 240},    {"lblCreativity", "pctUI(2)", 1395, 2700, 240},
};

// The ghost button's pressed face sits one pixel further left and lower.
inline constexpr Place kGhostPressed{"imgGhost(2)", 7605, 3435, 1110, 465};

constexpr const Place* find(std::string_view name) {
    for (const Place& p : kMainWindow) {
        if (p.name == name)
            return &p;
    }
    return nullptr;
}

}  // namespace vondrel::design
