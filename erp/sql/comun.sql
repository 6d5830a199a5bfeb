/* Objetos comunes a Config.fdb, Metadatos.fdb y las bases de empresa:
   el dominio SI_NO_S, el generador de ids ID_CATALOGOS y el rol USUARIO_MICROSIP
   con el que se conectan los usuarios del ERP. */

CREATE DOMAIN SI_NO_S AS CHAR(1) DEFAULT 'N' CHECK (VALUE IN ('S', 'N'));
/* Booleano del ERP (clave de empaque, sucursal matriz) */
CREATE DOMAIN SI_NO AS BOOLEAN DEFAULT FALSE;

CREATE SEQUENCE ID_CATALOGOS;
ALTER SEQUENCE ID_CATALOGOS RESTART WITH 1000;

CREATE ROLE USUARIO_MICROSIP;
GRANT USAGE ON SEQUENCE ID_CATALOGOS TO ROLE USUARIO_MICROSIP;
COMMIT;
