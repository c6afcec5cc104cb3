#pragma once
// Menú, botones y ayuda de la ventana principal: cada opción abre su formulario tras la
// puerta del administrador o del permiso que le toque.
#include <functional>

#include "platform/core/Classes.h"
#include "platform/forms/Controls.h"

class TFrmMain;
class TMenuItem;
class TSpeedButton;

// Textos de la puerta del administrador (A1 "usar", A2 "utilizar") y de no disponible.
inline constexpr const char* kSoloAdminUsar = "Esta opción solo la puede usar el administrador.";
inline constexpr const char* kSoloAdminUtilizar = "Esta opción solo la puede utilizar el administrador.";
inline constexpr const char* kNoDisponible = "Esta función aún no está disponible en esta versión.";

class TMenuPrincipal : public TComponent {
 public:
  explicit TMenuPrincipal(TFrmMain* aForm);
  AnsiString ClassName() const override { return "TMenuPrincipal"; }

  TFrmMain* Form;

  // "Contabilidad"
  TMenuItem *Contabilidad1, *Abrir1, *Borrar1, *N1, *Salir1;
  // "Mov. contable"
  TMenuItem *Movcontable1, *Documentos1, *Asientosautomticos1, *VerImprimir1, *Renumerar1,
      *Renombrar1, *Asiento1, *CierreAoi1;
  // "Presupuesto"
  TMenuItem *Presupuestal1, *AdicioReduccin1, *Certificadodisponibilidad1, *Registropresupuestal1,
      *Ordenesdeservicio1, *Ordensuministro1, *Ordendepago1, *Comprobantedepago1, *Reintegros1;
  // "Exploradores"
  TMenuItem *Exploradores1, *Certificadosdedisponibilidad1, *Registrospresupuestales1,
      *rdenesdepago1, *Ordenesdeservicio2, *rdenesdesuministro1;
  // "Consultas"
  TMenuItem *Consultas1, *N5, *Saldo1, *Movimiento1, *Kardex1, *Terceros1, *UnaCuenta1, *Todas1,
      *MovimientoGeneral1, *CentrosdeCosto1, *Comprobantes, *Documentos2, *N2, *PRESUPUESTO2,
      *Informesdepresupuesto1, *Saldorubros1;
  // "Informes"
  TMenuItem *Informes1, *BalancedePrueba1, *MayoryBalance1, *CajaDiario1, *PyG1, *BalanceGeneral1,
      *Libroauxiliar1, *Presupuestoportrimeste1, *Presupuestoenconstruccin1, *Resumenpresupuestal1,
      *Exgena1;
  // "Datos"
  TMenuItem *Datos1, *Plan1, *Documentos3, *Soporte1, *Terceros2, *CentrodeCostos1,
      *PlanPresupuesto1, *Artculos1;
  // "Herramientas"
  TMenuItem *Herramientas1, *RepararInformacin1, *Cambiomasivodeunacuenta1, *Buscarregistro1,
      *Buscarenlainformacinpresupuestal1, *N3, *adicionarUsuarios, *ModificarUsuarios1,
      *BorrarUsuarios1, *N4, *Autordeunasiento1, *Entradadeusuarios1, *N6, *Presupuesto1;
  // "Configuración"
  TMenuItem *Configuracin1, *Contraseas1, *Asientosprogramados1, *CuentasEspeciales1;
  // "Ayuda"
  TMenuItem *Ayuda1, *Indice1, *Acercade1;

  TSpeedButton *SpeedButton4, *SpeedButton6, *SpeedButton1, *SpeedButton2, *SpeedButton5;

  // ---- manejadores ----
  void Abrir1Click(TObject* Sender);
  void Borrar1Click(TObject* Sender);
  void Salir1Click(TObject* Sender);
  void Documentos1Click(TObject* Sender);
  void Asientosautomticos1Click(TObject* Sender);
  void VerImprimir1Click(TObject* Sender);
  void Renumerar1Click(TObject* Sender);
  void Renombrar1Click(TObject* Sender);
  void Asiento1Click(TObject* Sender);
  void CierreAoi1Click(TObject* Sender);
  void AdicioReduccin1Click(TObject* Sender);
  void Certificadodisponibilidad1Click(TObject* Sender);
  void Registropresupuestal1Click(TObject* Sender);
  void Ordenesdeservicio1Click(TObject* Sender);
  void Ordensuministro1Click(TObject* Sender);
  void Ordendepago1Click(TObject* Sender);
  void Comprobantedepago1Click(TObject* Sender);
  void Reintegros1Click(TObject* Sender);
  void Certificadosdedisponibilidad1Click(TObject* Sender);
  void Registrospresupuestales1Click(TObject* Sender);
  void rdenesdepago1Click(TObject* Sender);
  void Ordenesdeservicio2Click(TObject* Sender);
  void rdenesdesuministro1Click(TObject* Sender);
  void Saldo1Click(TObject* Sender);
  void Movimiento1Click(TObject* Sender);
  void Kardex1Click(TObject* Sender);
  void UnaCuenta1Click(TObject* Sender);
  void Todas1Click(TObject* Sender);
  void MovimientoGeneral1Click(TObject* Sender);
  void CentrosdeCosto1Click(TObject* Sender);
  void ComprobantesClick(TObject* Sender);
  void Documentos2Click(TObject* Sender);
  void Informesdepresupuesto1Click(TObject* Sender);
  void Saldorubros1Click(TObject* Sender);
  void BalancedePrueba1Click(TObject* Sender);
  void MayoryBalance1Click(TObject* Sender);
  void CajaDiario1Click(TObject* Sender);
  void PyG1Click(TObject* Sender);
  void BalanceGeneral1Click(TObject* Sender);
  void Libroauxiliar1Click(TObject* Sender);
  void Presupuestoportrimeste1Click(TObject* Sender);
  void Presupuestoenconstruccin1Click(TObject* Sender);
  void Resumenpresupuestal1Click(TObject* Sender);
  void Exgena1Click(TObject* Sender);
  void Plan1Click(TObject* Sender);
  void Documentos3Click(TObject* Sender);
  void Soporte1Click(TObject* Sender);
  void Terceros2Click(TObject* Sender);
  void CentrodeCostos1Click(TObject* Sender);
  void PlanPresupuesto1Click(TObject* Sender);
  void Artculos1Click(TObject* Sender);
  void RepararInformacin1Click(TObject* Sender);
  void Cambiomasivodeunacuenta1Click(TObject* Sender);
  void Buscarregistro1Click(TObject* Sender);
  void Buscarenlainformacinpresupuestal1Click(TObject* Sender);
  void adicionarUsuariosClick(TObject* Sender);
  void ModificarUsuarios1Click(TObject* Sender);
  void BorrarUsuarios1Click(TObject* Sender);
  void Presupuesto1Click(TObject* Sender);
  void Contraseas1Click(TObject* Sender);
  void Asientosprogramados1Click(TObject* Sender);
  void CuentasEspeciales1Click(TObject* Sender);
  void Indice1Click(TObject* Sender);
  void Acercade1Click(TObject* Sender);
  void SpeedButton4Click(TObject* Sender);
  void SpeedButton6Click(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
  void SpeedButton5Click(TObject* Sender);
  // F1 en cualquier parte de la ventana abre la página de introducción.
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
};

extern TMenuPrincipal* MenuPrincipal;

// Construye el menú, los botones, las sugerencias y la ayuda de la ventana principal.
void ConstruirMenuPrincipal(TFrmMain* aForm);

// Puertas: verdadero cuando se puede seguir; si no, muestran su aviso.
bool PuertaAdministrador(bool aUtilizar);
bool PuertaBorrar();
// Apertura protegida: una MyException se muestra en un cuadro "Error" con su texto y una
// excepción del marco en el cuadro de error estándar; la ventana principal sigue.
void AperturaProtegida(const std::function<void()>& aAbrir);
// Aviso de una función cuyo formulario aún no existe.
void FuncionNoDisponible();
// Abre una página de la carpeta de ayuda del programa ("" abre el índice).
void AbrirAyuda(const AnsiString& aPagina);
