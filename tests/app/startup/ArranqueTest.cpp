// Recorridos del arranque y del cierre con la instalación nueva.
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <fstream>

#include "Entorno.h"
#include "main/Arranque.h"
#include "app/Claves.h"
#include "app/DataModule.h"
#include "app/Configuracion.h"
#include "app/FrmClave.h"
#include "main/FrmMain.h"
#include "app/FrmPresentacion.h"
#include "app/FrmSelContab.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/db/Storage.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Regional.h"
#include "platform/os/SingleInstance.h"

namespace arranque {
namespace {

using tv::forms::ShownMessage;

std::vector<std::string> Textos(const std::vector<ShownMessage>& ms) {
  std::vector<std::string> r;
  for (const auto& m : ms) r.push_back(m.Text.str());
  return r;
}

std::string Hoy() { return DateToStr(Date()).str(); }

class Arranque : public Entorno {};

TEST_F(Arranque, PrimerArranqueEscogeClaveDelAdministradorYElCierreGuardaLaSesion) {
  ui->onModal("TFrmPresentacion")
      .run([](TForm& f) {
        // La presentación del arranque dura 1,5 s: el intervalo se toma al activarse.
        auto& p = static_cast<TFrmPresentacion&>(f);
        EXPECT_EQ(p.Duracion, 1500);
        EXPECT_EQ(p.Timer1->Interval.get(), 1500u);
        EXPECT_TRUE(p.Timer1->Enabled.get());
        EXPECT_EQ(p.Label1->Caption.str().rfind("Tallivar-P - Versión ", 0), 0u);
      })
      .timers();
  ui->onModal("TFrmSelContab")
      .run([](TForm& f) {
        auto* g = static_cast<TFrmSelContab&>(f).DBGrid1;
        ASSERT_EQ(g->DisplayRowCount(), 1);
        EXPECT_EQ(g->DisplayText(0, 0), "Ejemplo");
        EXPECT_EQ(g->DisplayText(1, 0), "2026");
      })
      .row("DBGrid1", 0)
      .click("BtnAbrir");
  Entrar("gestordelibro", "");
  ui->onModal("TFrmNuevaClave")
      .set("EdClave", "Secreta 1")
      .set("EdConfirmar", "secreta 1")
      .click("BtnAceptar")
      .set("EdConfirmar", "Secreta 1")
      .click("BtnAceptar");
  fs::path marca = prog / "marca";
  ui->onModal("TFrmMain")
      .run([&](TForm& f) {
        auto& m = static_cast<TFrmMain&>(f);
        EXPECT_EQ(PathCont, AnsiString(libros.string()));
        EXPECT_EQ(PathOrigen, AnsiString(prog.string()));
        EXPECT_EQ(NContabilidad, "Ejemplo");
        EXPECT_EQ(anioGlobal, 2026);
        EXPECT_EQ(Login, "gestordelibro");
        EXPECT_TRUE(Permisos.GetPermisoGrabar() && Permisos.GetPermisoModificar() && Permisos.GetPermisoBorrar());
        EXPECT_TRUE(EsClaveCifrada(Permisos.GetClaveAdmin()));
        EXPECT_TRUE(DM->TblMovimiento->Active && DM->tblReintegros->Active && DM->TblContabs->Active);
        EXPECT_FALSE(DM->tblImputPptalCD->Active);
        EXPECT_EQ(DM->TblContabs->DatabaseName, AnsiString(prog.string()));
        EXPECT_EQ(m.archivoIni, AnsiString((prog / "data.ini").string()));
        EXPECT_EQ(FechasInf.GFechaInicial, "STR");
        EXPECT_EQ(Ini(prog / "data.ini", "User"), "gestordelibro");
        EXPECT_EQ(Ini(prog / "data.ini", "Exit"), "0");
        EXPECT_EQ(Leer(marca), libros.string() + "\n");
        EXPECT_EQ(fs::current_path(), prog);
        EXPECT_EQ(m.StatusBar1->SimpleText, "Contabilidad actual: Ejemplo, año: 2026");
      })
      .close();
  ASSERT_TRUE(IniciarPrograma());
  Application->Run();

  EXPECT_EQ(ui->formsShown(), (std::vector<AnsiString>{"TFrmPresentacion", "TFrmSelContab", "TFrmClave",
                                                         "TFrmNuevaClave", "TFrmMain"}));
  EXPECT_EQ(Textos(ui->messages()), std::vector<std::string>{"Las claves no coinciden."});
  EXPECT_EQ(ui->unused(), "");
  // La clave no queda escrita: solo su resumen.
  std::string guardada = Valor(libros, "select PASSWORD from permisos where LOGIN='gestordelibro'").value_or("");
  EXPECT_EQ(guardada.rfind("$argon2", 0), 0u);
  // Claves del cierre.
  fs::path ini = prog / "data.ini";
  EXPECT_EQ(Ini(ini, "Exit"), "1");
  EXPECT_EQ(Ini(ini, "Date"), Hoy());
  EXPECT_EQ(Ini(ini, "LastCont"), "Contabilidad actual: Ejemplo, año: 2026");
  EXPECT_EQ(Ini(ini, "FechaInicio"), "STR");
  EXPECT_EQ(Ini(ini, "FechaFinal"), "STR");
  EXPECT_NE(Ini(ini, "Time"), "");
  EXPECT_TRUE(fs::exists(marca));
  TerminarPrograma();
  EXPECT_FALSE(fs::exists(marca));

  // Siguiente corrida: la clave escogida vale y no se vuelve a pedir; el periodo guardado
  // se lee.
  {
    TIniFile f(ini.string());
    f.WriteString("ACTION", "FechaInicio", "01/02/2026");
  }
  NuevaCorrida();
  Presentacion();
  Escoger();
  Entrar("gestordelibro", "Secreta 1");
  ui->onModal("TFrmMain").run([](TForm&) { EXPECT_EQ(FechasInf.GFechaInicial, "01/02/2026"); }).close();
  ASSERT_TRUE(IniciarPrograma());
  Application->Run();
  EXPECT_EQ(ui->messages().size(), 0u) << ui->messageTexts();
  EXPECT_EQ(ui->unused(), "");
  EXPECT_EQ(Ini(ini, "FechaInicio"), "01/02/2026");
}

TEST_F(Arranque, UnaSegundaCopiaSeRechaza) {
  int tubo[2];
  ASSERT_EQ(pipe(tubo), 0);
  pid_t hijo = fork();
  ASSERT_GE(hijo, 0);
  if (hijo == 0) {
    char c = tv::os::AcquireSingleInstance("tallivar-p.exe") ? 'S' : 'N';
    if (write(tubo[1], &c, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(tubo[0], &c, 1), 1);
  ASSERT_EQ(c, 'S');
  EXPECT_FALSE(IniciarPrograma());
  kill(hijo, SIGKILL);
  waitpid(hijo, nullptr, 0);
  close(tubo[0]);
  close(tubo[1]);
  EXPECT_EQ(Textos(ui->messages()),
            std::vector<std::string>{"Ya se está ejecutando el programa. Observe en la barra de tareas."});
  EXPECT_TRUE(ui->formsShown().empty());
  EXPECT_EQ(FrmMain, nullptr);
  EXPECT_EQ(Application->ComponentCount(), 0);
  EXPECT_TRUE(Application->Terminated());
}

// Dos puestos sobre la misma instalación: la marca del que está abierto no es una salida no
// limpia; el segundo no repara los libros del primero, y la marca queda hasta que sale el último.
TEST_F(Arranque, LaMarcaDeOtroPuestoAbiertoNoSeRepara) {
  CrearUsuario("ana", "Clave");
  int listo[2], salir[2];
  ASSERT_EQ(pipe(listo), 0);
  ASSERT_EQ(pipe(salir), 0);
  pid_t hijo = fork();
  ASSERT_GE(hijo, 0);
  if (hijo == 0) {
    // El otro puesto: otro usuario del sistema, con su propio candado de una sola copia.
    fs::create_directories(dir / "run-otro");
    setenv("XDG_RUNTIME_DIR", (dir / "run-otro").c_str(), 1);
    Presentacion();
    Escoger();
    Entrar("ana", "Clave");
    ui->onModal("TFrmMain")
        .run([&](TForm&) {
          char c = 'S';
          if (write(listo[1], &c, 1) != 1) _exit(4);
          if (read(salir[0], &c, 1) != 1) _exit(5);
        })
        .close();
    bool reparo = false;
    if (IniciarPrograma()) Application->Run();
    for (const auto& f : ui->formsShown()) reparo |= f == "TRepairDialog";
    TerminarPrograma();
    _exit(reparo ? 6 : 0);
  }
  char c = 0;
  ASSERT_EQ(read(listo[0], &c, 1), 1);
  ASSERT_TRUE(fs::exists(prog / "marca"));

  Presentacion();
  Escoger();
  Entrar("ana", "Clave");
  ui->onModal("TFrmMain").run([](TForm&) { EXPECT_TRUE(DM->TblMovimiento->Active); }).close();
  EXPECT_TRUE(Correr(false));
  auto vistos = ui->formsShown();
  EXPECT_EQ(std::find(vistos.begin(), vistos.end(), AnsiString("TRepairDialog")), vistos.end());
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts();
  bool respaldo = false;
  for (const auto& e : fs::directory_iterator(libros))
    respaldo |= e.path().filename().string().rfind("BackupReparacion", 0) == 0;
  EXPECT_FALSE(respaldo);
  TerminarPrograma();
  // El otro puesto sigue abierto: su marca queda.
  EXPECT_TRUE(fs::exists(prog / "marca"));

  c = 'S';
  ASSERT_EQ(write(salir[1], &c, 1), 1);
  int estado = 0;
  waitpid(hijo, &estado, 0);
  EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << estado;
  EXPECT_FALSE(fs::exists(prog / "marca"));
  for (int fd : {listo[0], listo[1], salir[0], salir[1]}) close(fd);
}

TEST_F(Arranque, SalirDelSelectorTerminaSinClaveNiTablasYRestauraElFormatoDeFecha) {
  ASSERT_TRUE(tv::os::SetUserShortDateFormat("d/M/yyyy"));
  // Una marca de una salida anterior no se olvida por salir del selector.
  ASSERT_TRUE((std::ofstream(prog / "marca") << libros.string() << "\n").good());
  Presentacion();
  ui->onModal("TFrmSelContab")
      .run([](TForm&) { EXPECT_EQ(tv::os::GetUserShortDateFormat(), "dd/MM/yyyy"); })
      .click("Salir");
  EXPECT_TRUE(Correr(false));
  EXPECT_TRUE(abortar);
  EXPECT_EQ(ui->formsShown(), (std::vector<AnsiString>{"TFrmPresentacion", "TFrmSelContab"}));
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts();
  EXPECT_EQ(ui->unused(), "");
  ASSERT_NE(DM, nullptr);
  EXPECT_FALSE(DM->TblMovimiento->Active);
  EXPECT_FALSE(DM->TblPermisos->Active);
  EXPECT_TRUE(FrmMain->archivoIni.IsEmpty());
  EXPECT_EQ(tv::os::GetUserShortDateFormat(), "d/M/yyyy");
  EXPECT_EQ(Ini(prog / "data.ini", "Date"), "");
  TerminarPrograma();
  EXPECT_TRUE(fs::exists(prog / "marca"));
}

TEST_F(Arranque, CarpetaFaltanteEnElSelectorAvisaYAbreElEditorDeLaLista) {
  Sql(prog, "insert into contabs (NContabilidad, rutaContabilidad, anio, Activa) values "
            "('Perdida', '" + (dir / "no-existe").string() + "', 2025, 'S'), "
            "('Borrada', '" + libros.string() + "', 2024, 'N')");
  int editor = 0;
  static int* contador = nullptr;
  contador = &editor;
  AbrirEditorContabs = [](TComponent* owner) {
    EXPECT_NE(dynamic_cast<TFrmSelContab*>(owner), nullptr);
    ++*contador;
  };
  Presentacion();
  ui->onModal("TFrmSelContab")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TFrmSelContab&>(f).DBGrid1->DisplayRowCount(), 2); })
      .row("DBGrid1", 1)
      .click("BtnAbrir")
      .row("DBGrid1", 1)
      .click("BtnAbrir")
      .click("BitBtn2");
  EXPECT_TRUE(Correr(false));
  EXPECT_EQ(editor, 2);
  EXPECT_EQ(Textos(ui->messages()),
            (std::vector<std::string>{"Hay un problema con la ruta de las tablas. Por favor corrijalas.",
                                      "Hay un problema con la ruta de las tablas. Por favor corrijalas."}));
  EXPECT_EQ(ui->unused(), "");
  EXPECT_TRUE(abortar);
}

TEST_F(Arranque, TresFallosDeClaveTerminanSinAbrirTablas) {
  CrearUsuario("ana", "Clave");
  Presentacion();
  Escoger();
  ui->onModal("TFrmClave")
      .run([](TForm& f) {
        // Los usuarios se comparan exactos: "Ana" no es "ana".
        static_cast<TFrmClave&>(f).CBLogin->Items->Add("Ana:intrusa");
      })
      .keys("Esc")  // la entrada del arranque no tiene salida
      .pick("CBLogin", "Ana:intrusa")
      .set("EdPassword", "Clave")
      .click("BtnAceptar")
      .pick("CBLogin", "ana:")
      .set("EdPassword", "clave")
      .click("BtnAceptar")
      .set("EdPassword", "Clave ")
      .click("BtnAceptar");
  ASSERT_TRUE(fs::remove(prog / "data.ini"));
  EXPECT_TRUE(Correr(false));
  EXPECT_EQ(Textos(ui->messages()),
            (std::vector<std::string>{"Debe crear el INI dentro de la carpeta", "Usuario no autorizado",
                                      "Password Incorrecto", "Password Incorrecto"}));
  EXPECT_EQ(ui->unused(), "");
  EXPECT_TRUE(Application->Terminated());
  EXPECT_FALSE(DM->TblPermisos->Active);
  EXPECT_FALSE(Permisos.GetPermisoGrabar());
  EXPECT_FALSE(fs::exists(prog / "marca"));
  EXPECT_EQ(std::count(ui->formsShown().begin(), ui->formsShown().end(), AnsiString("TFrmMain")), 0);
}

TEST_F(Arranque, UsuarioConDerechosLimitadosYClaveAntiguaQueSeCifraAlEntrar) {
  Sql(libros, "insert into permisos (LOGIN, NUSUARIO, PASSWORD, BModificar, BGrabar, BBorrar) "
              "values ('luis', 'Luis', 'vieja', 0, 1, 0)");
  Presentacion();
  Escoger();
  Entrar("luis", "vieja");
  ui->onModal("TFrmMain")
      .run([](TForm&) {
        EXPECT_FALSE(Permisos.GetPermisoModificar());
        EXPECT_TRUE(Permisos.GetPermisoGrabar());
        EXPECT_FALSE(Permisos.GetPermisoBorrar());
        EXPECT_EQ(Permisos.GetClaveAdmin(), "");  // el administrador instalado no tiene clave
      })
      .close();
  ASSERT_TRUE(IniciarPrograma());
  Application->Run();
  EXPECT_EQ(ui->unused(), "");
  std::string guardada = Valor(libros, "select PASSWORD from permisos where LOGIN='luis'").value_or("");
  EXPECT_NE(guardada, "vieja");
  EXPECT_TRUE(ClaveCoincide("vieja", AnsiString(guardada)));
  EXPECT_FALSE(ClaveCoincide("Vieja", AnsiString(guardada)));
}

TEST_F(Arranque, ConUsoPropioFalsoDataIniVaEnLaCarpetaDeLaContabilidad) {
  Sql(prog, "update cfgOV set usoPropio=0");
  CrearUsuario("ana", "Clave");
  Presentacion();
  Escoger();
  Entrar("ana", "Clave");
  ui->onModal("TFrmMain")
      .run([&](TForm& f) {
        EXPECT_EQ(static_cast<TFrmMain&>(f).archivoIni, AnsiString((libros / "data.ini").string()));
        EXPECT_EQ(FechasInf.GFechaInicial, "");  // no había archivo: el periodo queda vacío
      })
      .close();
  EXPECT_TRUE(Correr(false));
  // Faltaba el archivo: se avisa al arrancar, la entrada lo crea y el cierre lo completa.
  EXPECT_EQ(Textos(ui->messages()), std::vector<std::string>{"Debe crear el INI dentro de la carpeta"});
  fs::path ini = libros / "data.ini";
  EXPECT_EQ(Ini(ini, "User"), "ana");
  EXPECT_EQ(Ini(ini, "Exit"), "1");
  EXPECT_EQ(Ini(ini, "LastCont"), "Contabilidad actual: Ejemplo, año: 2026");
  EXPECT_EQ(Ini(prog / "data.ini", "User"), "");
  EXPECT_EQ(Ini(prog / "data.ini", "Date"), "");
}

TEST_F(Arranque, MatarElProgramaDejaLaMarcaYLaSiguienteCorridaReparaLaCarpeta) {
  CrearUsuario("ana", "Clave");
  pid_t hijo = fork();
  ASSERT_GE(hijo, 0);
  if (hijo == 0) {
    // La corrida que se mata con la ventana principal abierta.
    Presentacion();
    Escoger();
    Entrar("ana", "Clave");
    ui->onModal("TFrmMain").run([](TForm&) { raise(SIGKILL); });
    IniciarPrograma();
    Application->Run();
    _exit(3);
  }
  int estado = 0;
  waitpid(hijo, &estado, 0);
  ASSERT_TRUE(WIFSIGNALED(estado) && WTERMSIG(estado) == SIGKILL);
  ASSERT_TRUE(fs::exists(prog / "marca"));
  EXPECT_EQ(Leer(prog / "marca"), libros.string() + "\n");
  EXPECT_EQ(Ini(prog / "data.ini", "Exit"), "0");

  Presentacion();
  Escoger();
  Entrar("ana", "Clave");
  ui->onModal("TFrmMain")
      .run([](TForm&) { EXPECT_TRUE(DM->TblMovimiento->Active && DM->TblPermisos->Active); })
      .close();
  EXPECT_TRUE(Correr(false));
  EXPECT_EQ(ui->unused(), "");
  auto vistos = ui->formsShown();
  EXPECT_NE(std::find(vistos.begin(), vistos.end(), AnsiString("TRepairDialog")), vistos.end());
  EXPECT_EQ(vistos.back(), "TFrmMain");
  EXPECT_EQ(Textos(ui->messages()), std::vector<std::string>{"Reparación de tablas finalizada."});
  bool respaldo = false;
  for (const auto& e : fs::directory_iterator(libros))
    respaldo |= e.path().filename().string().rfind("BackupReparacion", 0) == 0;
  EXPECT_TRUE(respaldo);
  EXPECT_TRUE(fs::exists(prog / "marca"));
  TerminarPrograma();
  EXPECT_FALSE(fs::exists(prog / "marca"));
}

TEST_F(Arranque, LaReparacionCorreSobreLaCarpetaQueGuardaLaMarca) {
  fs::path otra = dir / "otra";
  fs::copy(libros, otra, fs::copy_options::recursive);
  ASSERT_TRUE((std::ofstream(prog / "marca") << otra.string() << "\n").good());
  CrearUsuario("ana", "Clave");
  Presentacion();
  Escoger();
  Entrar("ana", "Clave");
  EXPECT_TRUE(Correr());
  auto conRespaldo = [](const fs::path& carpeta) {
    for (const auto& e : fs::directory_iterator(carpeta))
      if (e.path().filename().string().rfind("BackupReparacion", 0) == 0) return true;
    return false;
  };
  EXPECT_TRUE(conRespaldo(otra));
  EXPECT_FALSE(conRespaldo(libros));
  // La marca pasa a nombrar la contabilidad abierta ahora.
  EXPECT_EQ(Leer(prog / "marca"), libros.string() + "\n");
  tv::db::ReleaseDatabase(otra.string());
}

// Libros que ya no abren tras una salida sin cierre (una página de mvtMaestro en ceros): el
// arranque llega a la reparación, dice lo perdido y abre la ventana principal; una sola vez.
TEST_F(Arranque, LibrosQueNoAbrenSeReparanAlArrancar) {
  std::string archivo = (libros / tv::db::kDatabaseFileName).string();
  {
    sqlite3* db = nullptr;
    sqlite3_open(archivo.c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=DELETE; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE "
                 "i<2000) INSERT INTO mvtMaestro (descdocu, numedocu, detalle) SELECT 'CE', i, "
                 "'Documento de prueba numero ' || i FROM n",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name='mvtMaestro'", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    long raiz = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    tv::db::ReleaseDatabase(libros.string().c_str());
    std::fstream f(archivo, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp((raiz - 1) * 4096);
    for (int k = 0; k < 4096; ++k) f.put('\0');
  }
  ASSERT_TRUE((std::ofstream(prog / "marca") << libros.string() << "\n").good());
  CrearUsuario("ana", "Clave");
  Presentacion();
  Escoger();
  Entrar("ana", "Clave");
  ui->onModal("TFrmMain").run([](TForm&) { EXPECT_TRUE(DM->tblMvtMaestro->Active); }).close();
  EXPECT_TRUE(Correr(false));
  auto vistos = ui->formsShown();
  EXPECT_EQ(std::count(vistos.begin(), vistos.end(), AnsiString("TRepairDialog")), 1);
  EXPECT_EQ(vistos.back(), "TFrmMain");
  auto textos = Textos(ui->messages());
  ASSERT_FALSE(textos.empty());
  EXPECT_NE(textos[0].find("mvtMaestro"), std::string::npos) << textos[0];
  EXPECT_NE(textos[0].find("BackupReparacion"), std::string::npos) << textos[0];
  EXPECT_FALSE(tv::db::DatabaseDamaged(libros.string().c_str()));
  TerminarPrograma();
}

// Libros que no abren, sin marca de una salida sin cierre: la reparación al abrir muere
// después de poner el archivo nuevo en su lugar. La corrida siguiente dice lo perdido igual.
TEST_F(Arranque, ReparacionAlAbrirMatadaSeDiceEnLaCorridaSiguiente) {
  std::string archivo = (libros / tv::db::kDatabaseFileName).string();
  Sql(libros,
      "PRAGMA journal_mode=DELETE; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<2000) "
      "INSERT INTO mvtMaestro (descdocu, numedocu, detalle) SELECT 'CE', i, 'Documento de prueba numero ' || i FROM n");
  long raiz = std::stol(Valor(libros, "SELECT rootpage FROM sqlite_master WHERE name='mvtMaestro'").value_or("0"));
  ASSERT_GT(raiz, 0);
  tv::db::ReleaseDatabase(libros.string().c_str());
  {
    std::fstream f(archivo, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp((raiz - 1) * 4096);
    for (int k = 0; k < 4096; ++k) f.put('\0');
  }
  ASSERT_FALSE(fs::exists(prog / "marca"));
  CrearUsuario("ana", "Clave");
  fs::path paso = dir / "paso";
  pid_t hijo = fork();
  ASSERT_GE(hijo, 0);
  if (hijo == 0) {
    setenv("TALLIVAR_TEST_REPAIR_STOP", "renamed", 1);
    setenv("TALLIVAR_TEST_REPAIR_MARK", paso.c_str(), 1);
    Presentacion();
    Escoger();
    Entrar("ana", "Clave");
    IniciarPrograma();
    Application->Run();
    _exit(3);
  }
  bool llego = false;
  for (auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(3);
       !llego && std::chrono::steady_clock::now() < limite;) {
    llego = fs::exists(paso);
    if (!llego && waitpid(hijo, nullptr, WNOHANG) == hijo) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  kill(hijo, SIGKILL);
  waitpid(hijo, nullptr, 0);
  ASSERT_TRUE(llego) << "la reparación no llegó a poner el archivo nuevo";

  Presentacion();
  Escoger();
  Entrar("ana", "Clave");
  ui->onModal("TFrmMain").run([](TForm&) { EXPECT_TRUE(DM->tblMvtMaestro->Active); }).close();
  EXPECT_TRUE(Correr(false));
  auto textos = Textos(ui->messages());
  ASSERT_FALSE(textos.empty());
  EXPECT_NE(textos[0].find("mvtMaestro"), std::string::npos) << textos[0];
  EXPECT_NE(textos[0].find("BackupReparacion"), std::string::npos) << textos[0];
  EXPECT_FALSE(tv::db::DatabaseDamaged(libros.string().c_str()));
  TerminarPrograma();
}

TEST_F(Arranque, ElTerceroSinIdentificacionSeCreaUnaSolaVez) {
  Sql(libros, "delete from TC where CedulaNIT is null");
  CrearUsuario("ana", "Clave");
  for (int corrida = 0; corrida < 2; ++corrida) {
    if (corrida) NuevaCorrida();
    Presentacion();
    Escoger();
    Entrar("ana", "Clave");
    EXPECT_TRUE(Correr());
    EXPECT_EQ(ui->unused(), "");
    TerminarPrograma();
    EXPECT_EQ(Cuenta(libros, "select count(*) from TC where CedulaNIT is null"), 1);
    EXPECT_EQ(Valor(libros, "select nombre from TC where CedulaNIT is null"), "sin tercero");
  }
}

TEST_F(Arranque, AvisaDocumentosFueraDelAnioAlArrancar) {
  Sql(libros, "insert into mvtMaestro (descdocu, numedocu, fecha) values ('CSI', '1', '2025-12-31'), "
              "('FAC', '7', '2027-01-05'), ('FAC', '8', '2026-06-30')");
  CrearUsuario("ana", "Clave");
  Presentacion();
  Escoger();
  Entrar("ana", "Clave");
  EXPECT_TRUE(Correr());
  EXPECT_EQ(Textos(ui->messages()),
            std::vector<std::string>{"Tiene asientos con fechas menores o mayores que el año contable:\nFAC 7 05/01/2027\n"});
}

struct CasoAnio {
  const char* filas;  // valores de mvtMaestro (descdocu, numedocu, fecha)
  bool resultado;
  const char* aviso;  // "" sin aviso
};

class FueraDelAnio : public Entorno, public ::testing::WithParamInterface<CasoAnio> {};

TEST_P(FueraDelAnio, VerificarIntegridad) {
  CrearUsuario("ana", "Clave");
  Presentacion();
  Escoger();
  Entrar("ana", "Clave");
  ASSERT_TRUE(Correr());
  ui->takeMessages();
  Sql(libros, std::string("insert into mvtMaestro (descdocu, numedocu, fecha) values ") + GetParam().filas);
  EXPECT_EQ(DM->verificarIntegridad(), GetParam().resultado);
  std::vector<std::string> esperado;
  if (*GetParam().aviso) esperado.push_back(GetParam().aviso);
  EXPECT_EQ(Textos(ui->messages()), esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, FueraDelAnio,
    ::testing::Values(
        CasoAnio{"('CSI', '1', '2025-12-31')", true, ""},
        CasoAnio{"('FAC', '1', '2026-01-01'), ('FAC', '2', '2026-12-31')", true, ""},
        CasoAnio{"('CSI', '1', '2025-12-31'), ('CSI', '2', '2027-01-01')", false,
                 "Tiene asientos con fechas menores o mayores que el año contable:\n"},
        CasoAnio{"('CSI', '1', '2025-12-31'), ('EGR', 'A-3', '2025-11-30')", false,
                 "Tiene asientos con fechas menores o mayores que el año contable:\nEGR A-3 30/11/2025\n"},
        CasoAnio{"('NC', '9', '2027-02-01')", false,
                 "Tiene asientos con fechas menores o mayores que el año contable:\nNC 9 01/02/2027\n"}));

TEST_F(Arranque, CarpetaCopiadaAbreSusPropiosLibrosYSuLogo) {
  fs::path copia = dir / "copia";
  fs::copy(prog, copia, fs::copy_options::recursive);
  fs::path librosCopia = copia / libros.filename();
  tv::os::SetProgramDirForTests(copia.string());
  Presentacion();
  Escoger();
  Entrar("gestordelibro", "");
  ui->onModal("TFrmNuevaClave").set("EdClave", "Copia 1").set("EdConfirmar", "Copia 1").click("BtnAceptar");
  ui->onModal("TFrmMain")
      .run([&](TForm&) {
        EXPECT_EQ(PathCont, AnsiString(librosCopia.string()));
        // El formulario de configuración muestra y carga el logo de la copia.
        std::unique_ptr<TfrmConfigContab> cfg(new TfrmConfigContab(nullptr));
        EXPECT_EQ(AnsiString(cfg->edRutaEscudo->Text), AnsiString((copia / "images/logo.bmp").string()));
        EXPECT_EQ(cfg->Image1->Picture->FileName, AnsiString((copia / "images/logo.bmp").string()));
      })
      .close();
  ASSERT_TRUE(IniciarPrograma());
  Application->Run();
  EXPECT_EQ(ui->unused(), "");
  // La clave escogida quedó en la copia; el original no se tocó.
  EXPECT_EQ(Valor(librosCopia, "select PASSWORD from permisos").value_or("").rfind("$argon2", 0), 0u);
  EXPECT_FALSE(Valor(libros, "select PASSWORD from permisos").has_value());
  EXPECT_EQ(Leer(copia / "marca"), librosCopia.string() + "\n");
  EXPECT_FALSE(fs::exists(prog / "marca"));
  NuevaCorrida();
  tv::db::ReleaseDatabase(librosCopia.string());
  tv::db::ReleaseDatabase(copia.string());

  // Una fila de una versión anterior, con la ruta completa dentro de su carpeta, sigue sirviendo.
  tv::os::SetProgramDirForTests(prog.string());
  Sql(prog, "update contabs set rutaContabilidad='" + libros.string() + "/'");
  Presentacion();
  Escoger();
  Entrar("gestordelibro", "");
  ui->onModal("TFrmNuevaClave").set("EdClave", "Orig 1").set("EdConfirmar", "Orig 1").click("BtnAceptar");
  ui->onModal("TFrmMain").run([&](TForm&) { EXPECT_EQ(PathCont, AnsiString(libros.string())); }).close();
  ASSERT_TRUE(IniciarPrograma());
  Application->Run();
  EXPECT_EQ(ui->unused(), "");
}

}  // namespace
}  // namespace arranque

namespace arranque {
namespace {

// La carpeta del programa (con "data.ini") de solo lectura, y los libros dentro de ella
// escribibles: se monta encima de sí misma. Posible() es falso donde la prueba no puede montar.
class ProgramaDeSoloLectura {
 public:
  ProgramaDeSoloLectura(const fs::path& prog, const fs::path& libros) : prog_(prog), libros_(libros) {
    montada_ = mount(prog_.c_str(), prog_.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (montada_ && mount(nullptr, prog_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      umount(prog_.c_str());
      montada_ = false;
    }
    librosAparte_ = montada_ && mount(libros_.c_str(), libros_.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                    mount(nullptr, libros_.c_str(), nullptr, MS_REMOUNT | MS_BIND, nullptr) == 0;
  }
  ~ProgramaDeSoloLectura() {
    if (librosAparte_) umount(libros_.c_str());
    if (montada_) umount(prog_.c_str());
  }
  bool Posible() const { return montada_ && librosAparte_; }

 private:
  fs::path prog_, libros_;
  bool montada_ = false, librosAparte_ = false;
};

TEST_F(Arranque, CarpetaDelProgramaDeSoloLecturaAvisaUnaVezQueNoGuardaLosAjustesYSigue) {
  CrearUsuario("ana", "Clave");
  std::string antes = Leer(prog / "data.ini");
  {
    ProgramaDeSoloLectura soloLectura(prog, libros);
    if (!soloLectura.Posible()) GTEST_SKIP() << "no se puede montar la carpeta de solo lectura";
    Presentacion();
    Escoger();
    Entrar("ana", "Clave");
    ui->onModal("TFrmMain").close();
    EXPECT_TRUE(Correr(false));
    EXPECT_EQ(ui->unused(), "");
    // El aviso de los ajustes, una vez; la marca de salida no limpia tampoco se puede crear.
    std::string aviso = "No se puede escribir el archivo " + (prog / "data.ini").string() +
                        ": el programa sigue, pero sus ajustes (periodo de los informes, títulos, preferencias) no se "
                        "guardarán.";
    EXPECT_EQ(Textos(ui->messages()), (std::vector<std::string>{aviso, "Error creando marca"}));
    EXPECT_EQ(std::count(ui->formsShown().begin(), ui->formsShown().end(), AnsiString("TFrmMain")), 1);
  }
  EXPECT_EQ(Leer(prog / "data.ini"), antes);
}

}  // namespace
}  // namespace arranque
