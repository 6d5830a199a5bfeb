#pragma once

#include <QString>

#include <functional>

// Botones que devuelve Mensaje (los mismos números que en Windows)
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Banderas de Mensaje que usa el programa
constexpr int MsjInformacion = 64; // icono de información, Aceptar
constexpr int MsjError = 16;       // icono de error, Aceptar
constexpr int MsjAdvertencia = 48; // icono de advertencia, Aceptar
constexpr int MsjPregunta = 36;    // pregunta, Sí/No
constexpr int MsjPreguntaNo = 292; // pregunta, Sí/No con No por omisión

// Título de casi todos los mensajes
QString TituloAviso(); // "Aviso del sistema"

// Caja de mensaje modal de la aplicación. Devuelve IDOK, IDYES, IDNO (o IDCANCEL).
int Mensaje(const QString &texto, const QString &titulo, int flags);

// true cuando las banderas piden Sí/No (con o sin Cancelar)
bool MensajeEsPregunta(int flags);

// Sustituto de la caja para pruebas: recibe texto, título y banderas y devuelve el botón.
using RespondedorMensaje = std::function<int(const QString &texto, const QString &titulo, int flags)>;
// Instala un respondedor (vacío = caja real). Devuelve el anterior.
RespondedorMensaje PonRespondedorMensaje(RespondedorMensaje respondedor);
