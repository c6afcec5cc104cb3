#pragma once
// Módulo de datos: una tabla por cada tabla compartida de la contabilidad abierta, más
// Config.db y contabs.db de la carpeta del programa, y la sesión con el alias
// "Contabilidad".
#include "platform/core/Classes.h"

class TTable;
class TQuery;
class TDataSource;

// Pasos de la sesión comunes al arranque y a InitTablas: sesión de solo esta corrida,
// alias "Contabilidad" apuntando a la carpeta (ninguno con carpeta vacía) y separador
// decimal del usuario con su aviso.
void ConfigurarSesion(const AnsiString& aPath);

class TDM : public TComponent {
 public:
  explicit TDM(TComponent* Owner);
  ~TDM() override;
  AnsiString ClassName() const override { return "TDM"; }

  TTable* TblMovimiento;
  TTable* TblPlan;
  TDataSource* DSMovimiento;
  TDataSource* DSPlan;
  TTable* TblDocumentos;
  TTable* TblTerceros;
  TDataSource* DSTerceros;
  TTable* TblCCostos;
  TDataSource* DSCC;
  TTable* TblConfig;
  TDataSource* DSConfig;
  TDataSource* DSCCostos;
  TTable* TblSoportes;
  TDataSource* DSDocumentos;
  TTable* TblBal;
  TDataSource* DSSoportes;
  TTable* TblConfigContab;
  TTable* TblSaldosAntes;
  TTable* TblSaldosEntre;
  TTable* TblTempCajaDiario;
  TTable* tblMvtMaestro;
  TTable* tblPlanPpto;
  TTable* tblMvtPptal;
  TTable* tblMvtPptalMaestro;
  TDataSource* dsPlanPpto;
  TTable* TblPermisos;
  TTable* TblContabs;
  TTable* tblMvtCertDisp;
  TTable* tblPAC;
  TTable* tblMvtRegPptal;
  TTable* tblMvtOrdenServicio;
  TTable* tblMvtOrdenSuministro;
  TTable* tblImputPptalCD;  // declarada; nunca se configura ni se abre
  TTable* tblMvtOrdenSumiMaestro;
  TTable* tblArticulos;
  TTable* tblAsientosProgCfg;
  TTable* tblAsientosProg;
  TTable* tblMvtOrdenPago;
  TTable* tblReintegros;
  TQuery* Query1;  // consulta del módulo para HagaSQL

  // Apunta el alias a la carpeta y abre todas las tablas; si una no abre, muestra el
  // error y pide la salida del programa.
  void InitTablas(AnsiString aPath);
  void CloseTablas();
  void VacearTablasTemporales();
  // Avisa de documentos con fecha fuera del año anioGlobal; true cuando no hubo aviso.
  bool verificarIntegridad();
  // Verdadero cuando el último InitTablas abrió todas las tablas.
  bool TablasAbiertas() const { return tablasAbiertas_; }
  // Verdadero cuando los libros abiertos no se pueden escribir (medio o carpeta de solo
  // lectura): se consultan, y nada se graba en ellos.
  bool SoloLectura() const { return soloLectura_; }

 private:
  TTable* NuevaTabla(const char* nombre, const char* tabla);
  TDataSource* NuevaFuente(const char* nombre, TTable* tabla);
  void RevisarMarca();
  void RevisarMarca(bool sola);
  void AsegurarSinTercero();
  bool tablasAbiertas_ = false;
  // Arranque sobre libros dañados: se reparan antes de abrirlos (ver RepararAlAbrir).
  bool repararSiDaniada_ = false;
  bool daniadaAlAbrir_ = false;
  bool reparadaAlAbrir_ = false;
  AnsiString errorAlAbrir_;
  void RepararAlAbrir();
  bool soloLectura_ = false;
  AnsiString avisoSoloLectura_;  // libros de solo lectura de los que ya se avisó
};

extern TDM* DM;

// Cierra las tablas, repara `carpeta` con el diálogo de reparación y vuelve a abrir las
// tablas de `PathCont`, también cuando la reparación falla. `automatica`: reconstruye la
// carpeta sin esperar al usuario (el diálogo solo muestra el avance).
void RepararYReabrir(TComponent* Owner, const AnsiString& carpeta, bool automatica);
