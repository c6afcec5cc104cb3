#include "BaseDatos.h"
#include "platform/forms/Headless.h"
#include "shared/general/BdeUtil.h"

using prueba::BaseDatos;

namespace {
class RevisionMotor : public BaseDatos {};
}  // namespace

TEST_F(RevisionMotor, CeroNoMuestraNada) {
  tv::forms::HeadlessDriver ui;
  EXPECT_EQ(CheckDbiError(0, "x.cpp", 10), 0);
  EXPECT_EQ(CheckTUError(0, "x.cpp", 10), 0);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(RevisionMotor, ViolacionDeLlaveConContextoYArchivo) {
  tv::forms::HeadlessDriver ui;
  Cuentas();
  DBIResult codigo = 0;
  try {
    Exec("INSERT INTO PL (numecuen) VALUES ('1105')");
  } catch (EDBEngineError& e) {
    codigo = e.ErrorCode();
  }
  ASSERT_EQ(codigo, DBIERR_KEYVIOL);
  EXPECT_EQ(CheckDbiError(codigo, "asientos.cpp", 321), DBIERR_KEYVIOL);
  ASSERT_EQ(ui.messages().size(), 1u);
  const auto& m = ui.messages()[0];
  EXPECT_EQ(m.Caption, "TUtility -- BDE Error");
  EXPECT_EQ(m.Icon, MsgIcon::Warning);
  EXPECT_EQ(m.Text.str().rfind("  ERROR 9729 - Cat:Code = [26h:1h]\r\n    ", 0), 0u) << m.Text;
  EXPECT_NE(m.Text.str().find("\r\n    FileName: 'asientos.cpp'  Line Number: 321"), std::string::npos);
  EXPECT_EQ(ui.beeps(), 1);
}

TEST_F(RevisionMotor, CodigoSinInformacionUsaElTextoDelCodigo) {
  tv::forms::HeadlessDriver ui;
  CheckDbiError(DBIERR_LOCKED, "a.cpp", 7);
  char texto[256] = {};
  DbiGetErrorString(DBIERR_LOCKED, texto);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].Text, AnsiString("  ERROR 10241 - Cat:Code = [28h:1h]\r\n    ") + texto +
                                       "\r\n    FileName: 'a.cpp'  Line Number: 7");
  CheckTUError(DBIERR_NOSUCHTABLE, "b.cpp", 9);
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[1].Caption, "TUtility -- TU Error");
  EXPECT_NE(ui.messages()[1].Text.str().find("\r\n    FileName: 'b.cpp'  Line Number: 9"),
            std::string::npos);
}

TEST_F(RevisionMotor, SesionVerificaYReconstruyeConRespaldo) {
  tv::forms::HeadlessDriver ui;
  Cuentas();
  TBDEUtil util;
  EXPECT_NE(util.vhTSes, 0);
  EXPECT_TRUE(util.RegisterCallBack());
  int nivel = -1;
  EXPECT_EQ(util.VerificarTabla(carpeta, "PL", nivel), 0);
  EXPECT_EQ(nivel, 0);
  std::string respaldo = carpeta + "resp";
  std::filesystem::create_directory(respaldo);
  EXPECT_EQ(util.ReconstruirTabla(carpeta, "PL", respaldo, "PL"), 0);
  EXPECT_EQ(Escalar("SELECT count(*) FROM PL"), 3);
  EXPECT_TRUE(tv::db::TableExists(respaldo, "PL"));
  EXPECT_NE(util.VerificarTabla(carpeta, "NoExiste", nivel), 0);
  EXPECT_TRUE(util.UnRegisterCallBack());
  EXPECT_EQ(GenProgressCallBack(cbGENPROGRESS, 0, nullptr), cbrUSEDEF);
  EXPECT_TRUE(ui.messages().empty());
  tv::db::ReleaseDatabase(respaldo);
}
