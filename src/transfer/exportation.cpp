#include "base/text.h"
#include "config/options.h"
#include "engine/module_state.h"
#include "engine/traitement.h"
#include "transfer/transfer.h"
#include "ui/front_end.h"

std::string ExportFileName(int bon, int barIdt) { return Format("%06i_%03i", bon, barIdt); }

int RunExportation(const std::string& ncFile, const std::string& camFile) {
  LoadOptions(g_sIniFile, g_sMachine);
  CTraitement job(g_sIniFile, g_sMachine, camFile, ncFile, 1, 1, 1);
  if (!job.OptionsUsable()) return 0;
  CPostCam& cam = job.m_cam;
  cam.SetFile(job.m_sCamFile);
  cam.SetPos(0);
  job.m_bBar = false;
  job.m_dBarSC = 0;
  job.m_dBarSL = 0;
  job.m_bWriting = false;

  // The writer rewinds the reader and leaves it at the end of the file, so
  // the loop ends after the first bar the operator confirms; that program
  // holds every bar of the file.
  while (cam.Lire_Entites(kRecordBar)) {
    job.m_bBar = true;
    job.ReadBarHeads();
    std::string name = ExportFileName(job.m_nBon, job.m_nBarIdt);
    job.m_dlgSetup.ClearHoles();
    job.m_dlgSetup.m_nUnit = ProgramUnit(cam.m_cInch);
    job.m_bWriting = false;
    job.WalkBar();
    if (job.RunSetup() == IDOK) job.WriteProgram(name);
  }
  return 0;
}
