#pragma once
// Números de los documentos de la cadena presupuestal (certificado, registro, órdenes de
// servicio y de suministro, orden de pago) y las reglas de lo que el usuario escribe en sus
// formularios. Un número de documento es un entero exacto de 64 bits y se escribe sin exponente
// ni decimales.
#include <cstdint>

#include "platform/core/AnsiString.h"
#include "platform/core/SysUtils.h"

// Las cifras de un número de documento: como máximo estas.
constexpr int kCifrasNumeroDoc = 15;

// Texto exacto de un número de documento ("20260001", nunca "2.026e+07").
AnsiString TextoNumeroDoc(std::int64_t aNumero);

// Cada regla devuelve "" cuando el texto sirve, o su mensaje terminado en salto de línea, con
// el nombre del campo.
// Número de documento: entero, mayor que 0 y de hasta 15 cifras.
AnsiString ErrorNumeroDoc(const AnsiString& aCampo, const AnsiString& aTexto, std::int64_t& aNumero);
// Monto o cantidad que el documento exige mayor que 0.
AnsiString ErrorMayorQueCero(const AnsiString& aCampo, const AnsiString& aTexto, double& aValor);
// Fecha del documento: debe caer en el año abierto (anioGlobal). Una fecha que no se lee no
// es asunto de esta regla.
AnsiString ErrorFechaFueraDelAnio(const AnsiString& aCampo, const AnsiString& aFecha);

// Tabla y campo de la numeración de un documento, y cómo se le nombra en los mensajes.
struct NumeracionDoc {
  const char* tabla;
  const char* campo;
  const char* articulo;  // "El" o "La"
  const char* nombre;    // "orden de servicio"
  const char* grabado;   // "grabado" o "grabada"
};
extern const NumeracionDoc kNumCertificado;
extern const NumeracionDoc kNumRegistro;
extern const NumeracionDoc kNumOrdenServicio;
extern const NumeracionDoc kNumOrdenSuministro;
extern const NumeracionDoc kNumOrdenPago;

// Siguiente número libre: la parte entera del mayor guardado, más 1.
std::int64_t SiguienteNumeroDoc(const NumeracionDoc& aDoc);

// Un documento nuevo trae un número que ya está guardado. Se lanza dentro de la transacción
// de la grabación, que así se deshace completa.
class ENumeroTomado : public Exception {
 public:
  ENumeroTomado(const NumeracionDoc& aDoc, std::int64_t aNumero);
  std::int64_t numero;
};

// Dentro de la transacción de la grabación de un documento nuevo: lanza ENumeroTomado cuando
// el número ya está guardado.
void ExigirNumeroLibre(const NumeracionDoc& aDoc, std::int64_t aNumero);

// Verdadero cuando la grabación falló porque el número ya estaba guardado (ENumeroTomado, o la
// clave repetida de otro puesto que grabó entre la revisión y la escritura). Entonces deja el
// siguiente número libre y el mensaje que lo nombra.
bool NumeroYaGrabado(const Exception& e, const NumeracionDoc& aDoc, std::int64_t aNumero, AnsiString& aSiguiente,
                     AnsiString& aMensaje);
// Mensaje de un número que ya existe cuando el formulario lo sabía antes de grabar.
AnsiString MensajeNumeroExistente(const NumeracionDoc& aDoc, std::int64_t aNumero, const AnsiString& aSiguiente);
