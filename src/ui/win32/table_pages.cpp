// The pages "Punching" and "Nibbling": the two tables of the options, each
// edited in a grid that always ends with an empty row to type into.
#include "base/text.h"
#include "config/tables.h"
#include "ui/win32/grid.h"
#include "ui/win32/option_pages.h"
#include "ui/win32/pictures.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_ui.h"

namespace win32ui {
namespace {

// A cell as a number, as atof reads it: empty or not a number is 0.
double CellValue(const CListGrid& grid, int row, int column) {
  return ToDouble(grid.Text(row, column));
}

// ---------------------------------------------------------------- Punching

class CPropertyPoinconnage : public COptionPage {
 public:
  explicit CPropertyPoinconnage(OptionValues& options) : COptionPage(options, IDD_PUNCHING) {}

 protected:
  void Load() override {
    m_grid.Attach(m_page, IDC_GRID,
                  {{L"Punching \u00d8", 96}, {L"Tool \u00d8", 96}, {L"Offset", 96}});
    m_grid.on_cell_edited = [this](int row) {
      if (row == m_grid.RowCount() - 1) m_grid.AddRow();
    };
    const auto& punches = m_options.poincons;
    m_grid.SetRowCount(punches.GetSize() + 1);
    for (int row = 0; row < punches.GetSize(); ++row) {
      m_grid.SetText(row, 0, SizeCell(punches[row].m_dDiameter, 3));
      m_grid.SetText(row, 1, SizeCell(punches[row].m_dTool, 3));
      m_grid.SetText(row, 2, SizeCell(punches[row].m_dOffset, 3));
    }
  }

  bool Store() override {
    m_grid.EndEdit(true);
    return true;
  }

  void Ok() override {
    m_grid.EndEdit(true);
    auto& punches = m_options.poincons;
    punches.RemoveAll();
    for (int row = 0; row < m_grid.RowCount(); ++row) {
      double diameter = CellValue(m_grid, row, 0);
      double tool = CellValue(m_grid, row, 1);
      double offset = CellValue(m_grid, row, 2);
      if (tool > 0 && diameter > 0) punches.Add(CPoincon(diameter, tool, offset));
    }
  }

 private:
  CListGrid m_grid;
};

// ---------------------------------------------------------------- Nibbling

class CPropertyMagasin : public COptionPage {
 public:
  explicit CPropertyMagasin(OptionValues& options) : COptionPage(options, IDD_NIBBLING) {}
  ~CPropertyMagasin() override {
    if (m_images) ImageList_Destroy(m_images);
  }

 protected:
  enum Column { kKind, kDiameter, kLength, kWidth };

  void Load() override {
    m_grid.Attach(m_page, IDC_GRID,
                  {{L"T", 20, true}, {L"Diameter", 88}, {L"Length", 88}, {L" Width", 88}});
    m_images = MakeToolImages();
    m_grid.SetImageList(m_images);
    m_grid.on_cell_edited = [this](int row) { RowEdited(row); };
    SetText(m_page, IDC_ROUGHNESS, m_options.Rugosite);
    const auto& tools = m_options.outils;
    m_grid.SetRowCount(tools.GetSize() + 1);
    for (int row = 0; row < tools.GetSize(); ++row) {
      const CMagasin& tool = tools[row];
      int kind = tool.m_cKind;
      m_grid.SetPicture(row, kKind, ToolImage(kind));
      if (kind != kRectangularTool) m_grid.SetText(row, kDiameter, SizeCell(tool.m_dDiameter, 2));
      if (kind == kRectangularTool || kind == kOblongTool)
        m_grid.SetText(row, kLength, SizeCell(tool.m_dLength, 2));
      if (kind == kRectangularTool) m_grid.SetText(row, kWidth, SizeCell(tool.m_dWidth, 2));
    }
  }

  bool Store() override {
    m_grid.EndEdit(true);
    m_options.Rugosite = Text(m_page, IDC_ROUGHNESS);
    return true;
  }

  void Ok() override {
    m_grid.EndEdit(true);
    auto& tools = m_options.outils;
    tools.RemoveAll();
    for (int row = 0; row < m_grid.RowCount(); ++row) {
      CMagasin tool;
      if (ToolFromSizes(CellValue(m_grid, row, kDiameter), CellValue(m_grid, row, kLength),
                        CellValue(m_grid, row, kWidth), &tool))
        tools.Add(tool);
    }
  }

 private:
  // The row's picture follows its typed sizes; the last row gets a successor.
  void RowEdited(int row) {
    int kind = TypedToolKind(CellValue(m_grid, row, kLength), CellValue(m_grid, row, kWidth));
    m_grid.SetPicture(row, kKind, ToolImage(kind));
    if (row == m_grid.RowCount() - 1) m_grid.AddRow();
  }

  CListGrid m_grid;
  HIMAGELIST m_images = nullptr;
};

}  // namespace

std::unique_ptr<COptionPage> MakePunchingPage(OptionValues& options) {
  return std::make_unique<CPropertyPoinconnage>(options);
}
std::unique_ptr<COptionPage> MakeNibblingPage(OptionValues& options) {
  return std::make_unique<CPropertyMagasin>(options);
}

}  // namespace win32ui
