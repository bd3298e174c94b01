#include "ui/qt/option_sheet.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/qt/qt_text.h"
#include "ui/qt/window_plugin.h"

COption::COption(OptionValues& options, const COptionRules& rules, const std::string& machine,
                 QWidget* parent)
    : QDialog(parent), m_options(options), m_rules(rules) {
  setWindowTitle("Options");
  // The caption stays "Options"; which machine's options these are stands
  // on the first line.
  m_machine = new QLabel("Machine: " + ToQt(machine));
  m_machine->setObjectName("machine");
  m_machine->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_machine->setVisible(!machine.empty());
  QFont bold = m_machine->font();
  bold.setBold(true);
  m_machine->setFont(bold);
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
  layout->addWidget(m_machine);
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
    case kGeneral: return new CPropertyGeneral(m_options, m_rules);
    case kOffsets: return new CPropertyOffset(m_options, m_rules);
    case kPunching: return new CPropertyPoinconnage(m_options, m_rules);
    case kNibbling: return new CPropertyMagasin(m_options, m_rules);
    case kNesting: return new CPropertyMeb(m_options, m_rules);
    case kMarking: return new CPropertyMarquage(m_options, m_rules);
    default: return new CPropertyProfil(m_options, m_rules, m_profiles);
  }
}

void COption::ShowMarks(int index) {
  int marked = m_pages[index] ? m_pages[index]->MarkedCount() : 0;
  m_tabs->setTabIcon(index, marked > 0 ? style()->standardIcon(QStyle::SP_MessageBoxWarning)
                                       : QIcon());
  m_tabs->setTabToolTip(
      index, marked > 0 ? QString("%1 marked: the machine cannot use %2")
                              .arg(marked == 1 ? "One field" : QString("%1 fields").arg(marked),
                                   marked == 1 ? "its text" : "their texts")
                        : QString());
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
    connect(m_pages[index], &COptionPage::MarksChanged, this, [this, index] { ShowMarks(index); });
    m_pages[index]->Load();
    ShowMarks(index);
  }
}

void COption::ShowPage(int index) { m_tabs->setCurrentIndex(index); }

void COption::accept() {
  if (m_current >= 0 && m_pages[m_current] && !m_pages[m_current]->Store()) return;
  for (COptionPage* page : m_pages)
    if (page) page->Ok();
  QDialog::accept();
}
