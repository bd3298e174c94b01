#include "ui/qt/option_sheet.h"

#include <QDialogButtonBox>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/qt/window_plugin.h"

COption::COption(OptionValues& options, const CTableRules& rules, QWidget* parent)
    : QDialog(parent), m_options(options), m_rules(rules) {
  setWindowTitle("Options");
  m_tabs = new QTabWidget;
  const char* titles[kPages] = {"General", "Offsets", "Punching", "Nibbling",
                                "Nesting", "Marking", "Profiles"};
  for (int i = 0; i < kPages; ++i) {
    m_holders[i] = new QWidget;
    auto* holder = new QVBoxLayout(m_holders[i]);
    holder->setContentsMargins(0, 0, 0, 0);
    m_tabs->addTab(m_holders[i], titles[i]);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &COption::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &COption::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(buttons);

  // The working arrays of "Profiles" come from the category strings now,
  // whether or not the page is ever shown.
  m_profiles = ReadProfileArrays(m_options);

  connect(m_tabs, &QTabWidget::currentChanged, this, &COption::TabChanged);
  TabChanged(m_tabs->currentIndex());
  resize(720, 520);
}

COptionPage* COption::MakePage(int index) {
  switch (index) {
    case kGeneral: return new CPropertyGeneral(m_options);
    case kOffsets: return new CPropertyOffset(m_options);
    case kPunching: return new CPropertyPoinconnage(m_options);
    case kNibbling: return new CPropertyMagasin(m_options, m_rules);
    case kNesting: return new CPropertyMeb(m_options);
    case kMarking: return new CPropertyMarquage(m_options);
    default: return new CPropertyProfil(m_options, m_profiles);
  }
}

void COption::TabChanged(int index) {
  if (index < 0 || index == m_current) return;
  // The page left stores its controls; a refused value keeps the user there.
  if (m_current >= 0 && m_pages[m_current] && !m_pages[m_current]->Store()) {
    QSignalBlocker block(m_tabs);
    m_tabs->setCurrentIndex(m_current);
    return;
  }
  m_current = index;
  if (!m_pages[index]) {
    m_pages[index] = MakePage(index);
    m_holders[index]->layout()->addWidget(m_pages[index]);
    m_pages[index]->Load();
  }
}

void COption::ShowPage(int index) { m_tabs->setCurrentIndex(index); }

void COption::accept() {
  if (m_current >= 0 && m_pages[m_current] && !m_pages[m_current]->Store()) return;
  for (COptionPage* page : m_pages)
    if (page) page->Ok();
  QDialog::accept();
}
