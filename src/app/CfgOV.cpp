#include "app/CfgOV.h"

#include "platform/db/DBTables.h"
#include "shared/general/Utiles.h"

TcfgOV::TcfgOV() {
  tblCfgOV = new TTable(nullptr);
  try {
    tblCfgOV->DatabaseName = GetExeDir();
    tblCfgOV->TableName = "cfgOV.db";
    tblCfgOV->Open();
    tblCfgOV->First();
    usoPropio = tblCfgOV->FieldByName("usoPropio")->AsBoolean;
  } catch (...) {
    delete tblCfgOV;
    tblCfgOV = nullptr;
    throw;
  }
}

TcfgOV::~TcfgOV() {
  if (tblCfgOV) tblCfgOV->Close();
  delete tblCfgOV;
}
