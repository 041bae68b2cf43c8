#pragma once
// The colour legend: sample rows drawn with the list's colour classes.
#include "framework/win/Dialog.h"
#include "framework/win/UniqueHandle.h"
#include "inventory/RowColors.h"

#include <array>
#include <string>

namespace kelvane {

class ColorLegendDialog : public Plinth::Dialog {
public:
    ColorLegendDialog();

    static constexpr int rowCount = 6, columnCount = 3;
    using Row = std::array<std::string, columnCount>;
    const std::array<Row, rowCount>& rows() const { return rows_; }
    const LegendTexts& texts() const { return texts_; }

protected:
    bool onInit() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void onDpiChanged(int oldDpi, int newDpi) override;

private:
    void drawRow(const DRAWITEMSTRUCT& draw) const;
    void makeBoldFont();

    LegendTexts texts_;
    std::array<Row, rowCount> rows_;
    Plinth::UniqueFont boldFont_;
};

} // namespace kelvane
