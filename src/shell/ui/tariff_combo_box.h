#pragma once

#include <QComboBox>

#include <functional>

// A combo box that lets its owner fill the list each time the operator opens it.
class TariffComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    // Runs before the list opens; returning false keeps it closed.
    std::function<bool()> onDropDown;

    void showPopup() override;
};
