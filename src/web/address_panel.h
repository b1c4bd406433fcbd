#pragma once

#include "web/framework/controls.h"

#include <QString>

class ServiceContext;

// The address panel of the order pages: search text, object category, the list of
// streets and objects found, and for a street its house (from the known house
// numbers, or typed), flat / entrance and directions. The quick order page uses it
// for its pickup point, the coded order page for both points of a trip; each page
// declares the controls under its own names and hands them over here.
class AddressPanel {
public:
    struct Controls {
        WebEdit &search;
        WebImageButton &find;
        WebComboBox &category;
        WebComboBox &list;
        WebLabel &houseLabel;
        WebComboBox &houses;
        WebEdit &freeHouse;
        WebLabel &flatLabel;
        WebEdit &flat;
        WebLabel &directionsLabel;
        WebMemo &directions;
    };

    // Sets the controls up and connects their events to the panel.
    AddressPanel(ServiceContext &context, Controls controls);

    // Empties the panel, hides the house controls and offers the object categories.
    void Reset();

    void CategoryChange();
    void Search();
    void ListClick();

    // The address text of the chosen point: "[street]{house}flat" and the directions
    // after a blank, or the chosen object's caption.
    QString BuildAddressText() const;

    // No street or object chosen.
    bool NoPlaceChosen() const;
    // A street chosen without a house.
    bool NoHouseGiven() const;

private:
    static bool IsChoice(const QString &text);
    void hideHouseControls();

    ServiceContext &context_;
    Controls c_;
};
