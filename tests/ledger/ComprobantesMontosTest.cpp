// Montos de los comprobantes impresos: las palabras de "VALOR PAGADO" y de "La suma de:",
// y las cifras, leídos del PDF con cada juego de separadores.
#include <filesystem>
#include <memory>
#include <string>

#include "impresos/Impresos.h"
#include "ledger/DocumentosFixture.h"
#include "ledger/FrmVerImprimir.h"
#include "platform/db/DBTables.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/Numeros.h"

namespace {

using impresos::MontosDePrueba;

class ComprobantesMontos : public ledger::Documentos {
 protected:
  void SetUp() override {
    Documentos::SetUp();
    NuevoTercero("900", "PROVEEDOR UNO", "CALLE 1 # 2-3");
    // Un egreso por monto, pagado por caja: su crédito a caja es el valor pagado.
    for (size_t i = 0; i < MontosDePrueba().size(); ++i) {
      double m = MontosDePrueba()[i].monto;
      std::string n = std::to_string(100 + i);
      Linea("CE", n, "510506", m, 0, "900", "Pago");
      Linea("CE", n, "110505", 0, m, "900", "Caja");
      Encabezado("CE", n, m);
    }
  }
  std::string Pdf(const tv::report::PreparedReport& r, const std::string& nombre) {
    return impresos::TextoPdf(r, (std::filesystem::path(dir) / nombre).string());
  }
  // Trae en `lineas` las líneas del egreso `n` y devuelve su comprobante impreso, leído del PDF
  // `nombre`.
  std::string Impreso(TQuery& lineas, const std::string& n, const std::string& nombre) {
    HagaSQL("Contabilidad", &lineas, ("select * from Mvt where DescDocu='CE'  and Numedocu='" + n + "'").c_str());
    auto v = std::make_unique<TFrmVerImprimir>(nullptr, &lineas);
    v->descDocu = "CE";
    v->numeDocu = n.c_str();
    v->LD->Caption = "CE:COMPROBANTE DE EGRESO";
    v->LN->Caption = n.c_str();
    v->QuickReport1->Prepare();
    return Pdf(v->QuickReport1->Prepared(), nombre);
  }
};

TEST_F(ComprobantesMontos, ValorPagadoYSumaEnPalabrasYCifrasConDosDecimales) {
  for (const char* sep : {",", "."}) {
    impresos::Separadores(sep);
    for (size_t i = 0; i < MontosDePrueba().size(); ++i) {
      const auto& c = MontosDePrueba()[i];
      std::string n = std::to_string(100 + i);
      SCOPED_TRACE(std::string(sep) + " " + c.palabras);
      std::string cifra = Punto(c.monto, 2);
      impresos::Cortes cortes;

      TQuery lineas(nullptr);
      std::string t = Impreso(lineas, n, "ce" + n + ".pdf");
      if (c.monto == 0) {
        EXPECT_EQ(t.find("VALOR PAGADO"), std::string::npos) << t;
      } else {
        EXPECT_NE(t.find(std::string("VALOR PAGADO: ") + c.palabras + " Ordenador"), std::string::npos) << t;
      }
      // Débito, crédito y las dos sumas: cuatro veces la cifra con dos decimales.
      size_t veces = 0;
      for (size_t p = t.find(cifra); p != std::string::npos; p = t.find(cifra, p + 1)) ++veces;
      EXPECT_GE(veces, 4u) << cifra << "\n" << t;

      auto d = std::make_unique<TFrmRepAsientosconDetalle>(nullptr);
      d->DataSource1->DataSet = &lineas;
      d->QRMemo1->Lines->SetText("Pago de la factura 88");
      d->LD->Caption = "CE";
      d->LN->Caption = n.c_str();
      d->Tercero = "900 PROVEEDOR UNO";
      d->QRLblModo->Caption = "Pagado a:";
      d->SumaEnLetras = c.monto;
      d->QRLabel16->Enabled = true;
      d->QRLblNumLetras->Enabled = true;
      d->QuickReport1->Prepare();
      t = Pdf(d->QuickReport1->Prepared(), "detalle" + n + ".pdf");
      EXPECT_NE(t.find(std::string("La suma de: ") + c.palabras + " Cuenta"), std::string::npos) << t;
      EXPECT_NE(t.find(cifra), std::string::npos) << cifra << "\n" << t;
      EXPECT_TRUE(cortes.lista.empty()) << cortes.Texto();
    }
  }
}

}  // namespace

namespace {

// La cifra más ancha que acepta el diario, en las dos sumas de los dos comprobantes: entera
// en su casilla y separada de la otra suma.
TEST_F(ComprobantesMontos, SumasIgualesCabenConElMontoMasAncho) {
  const double maximo = 9999999999999.99;
  Linea("CE", "900", "510506", maximo, 0, "900", "Pago");
  Linea("CE", "900", "110505", 0, maximo, "900", "Caja");
  Encabezado("CE", "900", maximo);
  for (const char* sep : {",", "."}) {
    impresos::Separadores(sep);
    SCOPED_TRACE(sep);
    std::string cifra = Punto(maximo, 2);
    std::string sumas = "SUMAS IGUALES " + cifra + " " + cifra;
    impresos::Cortes cortes;
    TQuery lineas(nullptr);
    std::string t = Impreso(lineas, "900", "ancho.pdf");
    EXPECT_NE(t.find(sumas), std::string::npos) << t;

    auto d = std::make_unique<TFrmRepAsientosconDetalle>(nullptr);
    d->DataSource1->DataSet = &lineas;
    d->QRMemo1->Lines->SetText("Pago grande");
    d->LD->Caption = "CE";
    d->LN->Caption = "900";
    d->QuickReport1->Prepare();
    t = Pdf(d->QuickReport1->Prepared(), "ancho_detalle.pdf");
    EXPECT_NE(t.find(sumas), std::string::npos) << t;
    EXPECT_TRUE(cortes.lista.empty()) << cortes.Texto();
  }
}

// Montos guardados con más de dos decimales (libros de antes): las líneas, las sumas y las
// palabras salen al centavo sobre el valor decimal, y dicen lo mismo.
TEST_F(ComprobantesMontos, LineasSumasYPalabrasDicenLaMismaCifra) {
  Linea("CE", "901", "510506", 1090.735, 0, "900", "Pago");
  Linea("CE", "901", "110505", 0, 453.79, "900", "Caja");
  Linea("CE", "901", "110510", 0, 636.945, "900", "Caja menor");
  Encabezado("CE", "901", 1090.735);
  for (const char* sep : {",", "."}) {
    impresos::Separadores(sep);
    SCOPED_TRACE(sep);
    TQuery lineas(nullptr);
    std::string t = Impreso(lineas, "901", "centavos.pdf");
    std::string total = Punto(1090.74, 2), cero = Punto(0, 2);
    for (const std::string& s : {"510506 Pago " + total + " " + cero,
                                 "110505 Caja " + cero + " " + Punto(453.79, 2),
                                 "110510 Caja menor " + cero + " " + Punto(636.95, 2),
                                 "SUMAS IGUALES " + total + " " + total,
                                 std::string("VALOR PAGADO: UN MIL NOVENTA PUNTO SETENTA Y CUATRO")})
      EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
  }
}

}  // namespace
