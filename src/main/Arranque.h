#pragma once
// Punto de entrada del programa: una sola copia, ventana principal, módulo de datos y
// diálogo oculto de la clave del administrador, en ese orden; luego el ciclo de mensajes.

// Pasos previos al ciclo. Falso cuando otra copia ya corre (se avisa y no se crea nada).
bool IniciarPrograma();
// Destruye las ventanas y el módulo de datos creados por el arranque, en orden inverso.
void TerminarPrograma();
// Cuadro de excepciones de la aplicación: una MyException que escapa de un evento se
// muestra con su texto en un cuadro "Error"; las demás, con el cuadro de siempre.
void InstalarCuadroDeExcepciones();
// Todo el recorrido de una corrida: inicio, ciclo de mensajes y fin. Devuelve 0.
int EjecutarPrograma();
