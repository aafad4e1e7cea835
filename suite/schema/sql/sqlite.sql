-- Orbanel: the suite's tables on the embedded database. SQLite keeps any text whatever its
-- declared length: each text column checks its length, so that a text too long is refused
-- here as on the server databases. A NUMERIC column would keep only 15 significant digits:
-- money-like columns hold the exact decimal as text, checked to fit the server's numeric type.
-- Every table that refers to a centre declares it; the suite turns foreign keys on for each
-- connection.
CREATE TABLE Centro_Costo (
    CC_Cve_Centro_Costo VARCHAR(6) NOT NULL PRIMARY KEY
        CONSTRAINT "CC_Cve_Centro_Costo admite hasta 6 caracteres" CHECK (length(CC_Cve_Centro_Costo) <= 6),
    CC_Acumula VARCHAR(6)
        CONSTRAINT "CC_Acumula admite hasta 6 caracteres" CHECK (length(CC_Acumula) <= 6),
    CC_Descripcion VARCHAR(50)
        CONSTRAINT "CC_Descripcion admite hasta 50 caracteres" CHECK (length(CC_Descripcion) <= 50),
    Gcc_Cve_Grupo_Centro_Costo VARCHAR(6)
        CONSTRAINT "Gcc_Cve_Grupo_Centro_Costo admite hasta 6 caracteres" CHECK (length(Gcc_Cve_Grupo_Centro_Costo) <= 6),
    CC_Cuenta_Contable VARCHAR(30)
        CONSTRAINT "CC_Cuenta_Contable admite hasta 30 caracteres" CHECK (length(CC_Cuenta_Contable) <= 30),
    Cc_Analizar VARCHAR(2)
        CONSTRAINT "Cc_Analizar admite hasta 2 caracteres" CHECK (length(Cc_Analizar) <= 2),
    Cc_UserDef_1 VARCHAR(50)
        CONSTRAINT "Cc_UserDef_1 admite hasta 50 caracteres" CHECK (length(Cc_UserDef_1) <= 50),
    Cc_UserDef_2 VARCHAR(50)
        CONSTRAINT "Cc_UserDef_2 admite hasta 50 caracteres" CHECK (length(Cc_UserDef_2) <= 50),
    Cc_UserDef_3 TEXT
        CONSTRAINT "Cc_UserDef_3 es un número de hasta 14 enteros y 4 decimales" CHECK (Cc_UserDef_3 IS NULL OR (
            substr(Cc_UserDef_3, 1 + (Cc_UserDef_3 GLOB '-*')) GLOB '[0-9]*' AND substr(Cc_UserDef_3, 1 + (Cc_UserDef_3 GLOB '-*')) NOT GLOB '*[^0-9.]*'
            AND Cc_UserDef_3 NOT GLOB '*.*.*' AND Cc_UserDef_3 NOT GLOB '*.'
            AND CASE instr(Cc_UserDef_3, '.') WHEN 0 THEN length(Cc_UserDef_3) ELSE instr(Cc_UserDef_3, '.') - 1 END - (Cc_UserDef_3 GLOB '-*') <= 14
            AND (instr(Cc_UserDef_3, '.') = 0 OR length(Cc_UserDef_3) - instr(Cc_UserDef_3, '.') <= 4))),
    Cc_UserDef_4 TEXT
        CONSTRAINT "Cc_UserDef_4 es un número de hasta 14 enteros y 4 decimales" CHECK (Cc_UserDef_4 IS NULL OR (
            substr(Cc_UserDef_4, 1 + (Cc_UserDef_4 GLOB '-*')) GLOB '[0-9]*' AND substr(Cc_UserDef_4, 1 + (Cc_UserDef_4 GLOB '-*')) NOT GLOB '*[^0-9.]*'
            AND Cc_UserDef_4 NOT GLOB '*.*.*' AND Cc_UserDef_4 NOT GLOB '*.'
            AND CASE instr(Cc_UserDef_4, '.') WHEN 0 THEN length(Cc_UserDef_4) ELSE instr(Cc_UserDef_4, '.') - 1 END - (Cc_UserDef_4 GLOB '-*') <= 14
            AND (instr(Cc_UserDef_4, '.') = 0 OR length(Cc_UserDef_4) - instr(Cc_UserDef_4, '.') <= 4))),
    Cc_UserDef_5 DATE,
    Cc_UserDef_6 DATE,
    CC_Tipo SMALLINT DEFAULT 0,
    Es_Cve_Estado VARCHAR(2) DEFAULT 'AC'
        CONSTRAINT "Es_Cve_Estado admite hasta 2 caracteres" CHECK (length(Es_Cve_Estado) <= 2),
    Oper_Alta VARCHAR(30)
        CONSTRAINT "Oper_Alta admite hasta 30 caracteres" CHECK (length(Oper_Alta) <= 30),
    Fecha_Alta DATETIME,
    Oper_Ult_Modif VARCHAR(30)
        CONSTRAINT "Oper_Ult_Modif admite hasta 30 caracteres" CHECK (length(Oper_Ult_Modif) <= 30),
    Fecha_Ult_Modif DATETIME,
    Oper_Baja VARCHAR(30)
        CONSTRAINT "Oper_Baja admite hasta 30 caracteres" CHECK (length(Oper_Baja) <= 30),
    Fecha_Baja DATETIME
);
-- Subtrees are deleted parent first: no foreign key on CC_Acumula, only an index; the key
-- beside it gives the children in key order without a sort.
CREATE INDEX IX_Centro_Costo_Acumula ON Centro_Costo (CC_Acumula, CC_Cve_Centro_Costo);

CREATE TABLE Grupo_Centro_Costo (
    Gcc_Cve_Grupo_Centro_Costo VARCHAR(6) NOT NULL PRIMARY KEY
        CONSTRAINT "Gcc_Cve_Grupo_Centro_Costo admite hasta 6 caracteres" CHECK (length(Gcc_Cve_Grupo_Centro_Costo) <= 6),
    Gcc_Descripcion VARCHAR(50)
        CONSTRAINT "Gcc_Descripcion admite hasta 50 caracteres" CHECK (length(Gcc_Descripcion) <= 50)
);

CREATE TABLE Cuenta_Contable (
    Cc_Cve_Cuenta_Contable VARCHAR(30) NOT NULL PRIMARY KEY
        CONSTRAINT "Cc_Cve_Cuenta_Contable admite hasta 30 caracteres" CHECK (length(Cc_Cve_Cuenta_Contable) <= 30),
    Cc_Descripcion VARCHAR(100)
        CONSTRAINT "Cc_Descripcion admite hasta 100 caracteres" CHECK (length(Cc_Descripcion) <= 100),
    CC_Tipo SMALLINT,
    Cc_Titulo SMALLINT,
    Cc_Naturaleza VARCHAR(2)
        CONSTRAINT "Cc_Naturaleza admite hasta 2 caracteres" CHECK (length(Cc_Naturaleza) <= 2),
    Cc_Resultado VARCHAR(2)
        CONSTRAINT "Cc_Resultado admite hasta 2 caracteres" CHECK (length(Cc_Resultado) <= 2),
    Cc_Grupo_Cuenta_Contable VARCHAR(10)
        CONSTRAINT "Cc_Grupo_Cuenta_Contable admite hasta 10 caracteres" CHECK (length(Cc_Grupo_Cuenta_Contable) <= 10),
    Cc_Cuenta_Padre VARCHAR(30)
        CONSTRAINT "Cc_Cuenta_Padre admite hasta 30 caracteres" CHECK (length(Cc_Cuenta_Padre) <= 30),
    Cc_Afectable SMALLINT
);
CREATE INDEX IX_Cuenta_Contable_Padre ON Cuenta_Contable (Cc_Cuenta_Padre);

CREATE TABLE Parametros (
    Parametro VARCHAR(60) NOT NULL PRIMARY KEY
        CONSTRAINT "Parametro admite hasta 60 caracteres" CHECK (length(Parametro) <= 60),
    Valor VARCHAR(255)
        CONSTRAINT "Valor admite hasta 255 caracteres" CHECK (length(Valor) <= 255),
    Descripcion VARCHAR(120)
        CONSTRAINT "Descripcion admite hasta 120 caracteres" CHECK (length(Descripcion) <= 120)
);

CREATE TABLE Bitacora_Cambios (
    Bc_Id INTEGER PRIMARY KEY,
    Bc_Tabla VARCHAR(60)
        CONSTRAINT "Bc_Tabla admite hasta 60 caracteres" CHECK (length(Bc_Tabla) <= 60),
    Bc_Clave VARCHAR(30)
        CONSTRAINT "Bc_Clave admite hasta 30 caracteres" CHECK (length(Bc_Clave) <= 30),
    Bc_Operador VARCHAR(30)
        CONSTRAINT "Bc_Operador admite hasta 30 caracteres" CHECK (length(Bc_Operador) <= 30),
    Bc_Fecha DATETIME,
    Bc_Detalle VARCHAR(255)
        CONSTRAINT "Bc_Detalle admite hasta 255 caracteres" CHECK (length(Bc_Detalle) <= 255)
);

CREATE TABLE Campos_Adicionales_Def (
    Cad_Tabla VARCHAR(60) NOT NULL
        CONSTRAINT "Cad_Tabla admite hasta 60 caracteres" CHECK (length(Cad_Tabla) <= 60),
    Cad_Campo VARCHAR(30) NOT NULL
        CONSTRAINT "Cad_Campo admite hasta 30 caracteres" CHECK (length(Cad_Campo) <= 30),
    Cad_Etiqueta VARCHAR(60)
        CONSTRAINT "Cad_Etiqueta admite hasta 60 caracteres" CHECK (length(Cad_Etiqueta) <= 60),
    Cad_Obligatorio SMALLINT DEFAULT 0,
    Cad_Orden SMALLINT,
    PRIMARY KEY (Cad_Tabla, Cad_Campo)
);

CREATE TABLE Campos_Adicionales (
    Ca_Tabla VARCHAR(60) NOT NULL
        CONSTRAINT "Ca_Tabla admite hasta 60 caracteres" CHECK (length(Ca_Tabla) <= 60),
    Ca_Clave VARCHAR(30) NOT NULL
        CONSTRAINT "Ca_Clave admite hasta 30 caracteres" CHECK (length(Ca_Clave) <= 30),
    Ca_Campo VARCHAR(30) NOT NULL
        CONSTRAINT "Ca_Campo admite hasta 30 caracteres" CHECK (length(Ca_Campo) <= 30),
    Ca_Valor VARCHAR(255)
        CONSTRAINT "Ca_Valor admite hasta 255 caracteres" CHECK (length(Ca_Valor) <= 255),
    PRIMARY KEY (Ca_Tabla, Ca_Clave, Ca_Campo)
);

CREATE TABLE Poliza_Detalle (
    Pd_Id INTEGER NOT NULL PRIMARY KEY,
    Pd_Poliza VARCHAR(10)
        CONSTRAINT "Pd_Poliza admite hasta 10 caracteres" CHECK (length(Pd_Poliza) <= 10),
    Pd_Renglon INTEGER,
    Cc_Cve_Cuenta_Contable VARCHAR(30)
        CONSTRAINT "Cc_Cve_Cuenta_Contable admite hasta 30 caracteres" CHECK (length(Cc_Cve_Cuenta_Contable) <= 30),
    Cc_Cve_Centro_costo VARCHAR(6)
        CONSTRAINT "Cc_Cve_Centro_costo admite hasta 6 caracteres" CHECK (length(Cc_Cve_Centro_costo) <= 6),
    Pd_Cargo TEXT
        CONSTRAINT "Pd_Cargo es un número de hasta 16 enteros y 2 decimales" CHECK (Pd_Cargo IS NULL OR (
            substr(Pd_Cargo, 1 + (Pd_Cargo GLOB '-*')) GLOB '[0-9]*' AND substr(Pd_Cargo, 1 + (Pd_Cargo GLOB '-*')) NOT GLOB '*[^0-9.]*'
            AND Pd_Cargo NOT GLOB '*.*.*' AND Pd_Cargo NOT GLOB '*.'
            AND CASE instr(Pd_Cargo, '.') WHEN 0 THEN length(Pd_Cargo) ELSE instr(Pd_Cargo, '.') - 1 END - (Pd_Cargo GLOB '-*') <= 16
            AND (instr(Pd_Cargo, '.') = 0 OR length(Pd_Cargo) - instr(Pd_Cargo, '.') <= 2))),
    Pd_Abono TEXT
        CONSTRAINT "Pd_Abono es un número de hasta 16 enteros y 2 decimales" CHECK (Pd_Abono IS NULL OR (
            substr(Pd_Abono, 1 + (Pd_Abono GLOB '-*')) GLOB '[0-9]*' AND substr(Pd_Abono, 1 + (Pd_Abono GLOB '-*')) NOT GLOB '*[^0-9.]*'
            AND Pd_Abono NOT GLOB '*.*.*' AND Pd_Abono NOT GLOB '*.'
            AND CASE instr(Pd_Abono, '.') WHEN 0 THEN length(Pd_Abono) ELSE instr(Pd_Abono, '.') - 1 END - (Pd_Abono GLOB '-*') <= 16
            AND (instr(Pd_Abono, '.') = 0 OR length(Pd_Abono) - instr(Pd_Abono, '.') <= 2))),
    Pd_Concepto VARCHAR(100)
        CONSTRAINT "Pd_Concepto admite hasta 100 caracteres" CHECK (length(Pd_Concepto) <= 100),
    CONSTRAINT FK_Poliza_Detalle_Centro FOREIGN KEY (Cc_Cve_Centro_costo) REFERENCES Centro_Costo (CC_Cve_Centro_Costo)
);
CREATE INDEX IX_Poliza_Detalle_Centro ON Poliza_Detalle (Cc_Cve_Centro_costo);

CREATE TABLE Presupuesto_Centro (
    Pc_Anio INTEGER NOT NULL,
    Cc_Cve_Centro_costo VARCHAR(6) NOT NULL
        CONSTRAINT "Cc_Cve_Centro_costo admite hasta 6 caracteres" CHECK (length(Cc_Cve_Centro_costo) <= 6),
    Pc_Importe TEXT
        CONSTRAINT "Pc_Importe es un número de hasta 16 enteros y 2 decimales" CHECK (Pc_Importe IS NULL OR (
            substr(Pc_Importe, 1 + (Pc_Importe GLOB '-*')) GLOB '[0-9]*' AND substr(Pc_Importe, 1 + (Pc_Importe GLOB '-*')) NOT GLOB '*[^0-9.]*'
            AND Pc_Importe NOT GLOB '*.*.*' AND Pc_Importe NOT GLOB '*.'
            AND CASE instr(Pc_Importe, '.') WHEN 0 THEN length(Pc_Importe) ELSE instr(Pc_Importe, '.') - 1 END - (Pc_Importe GLOB '-*') <= 16
            AND (instr(Pc_Importe, '.') = 0 OR length(Pc_Importe) - instr(Pc_Importe, '.') <= 2))),
    PRIMARY KEY (Pc_Anio, Cc_Cve_Centro_costo),
    CONSTRAINT FK_Presupuesto_Centro_Centro FOREIGN KEY (Cc_Cve_Centro_costo) REFERENCES Centro_Costo (CC_Cve_Centro_Costo)
);
CREATE INDEX IX_Presupuesto_Centro_Centro ON Presupuesto_Centro (Cc_Cve_Centro_costo);

-- The history of each centre: its row as each command left it (a deletion leaves them empty), with
-- who, when and which command. Its key refers to no centre, so that a deleted centre's history
-- stays readable; the remaining columns are Centro_Costo's own.
CREATE TABLE Historial_Centro (
    Hc_Id INTEGER PRIMARY KEY,
    Hc_Clave VARCHAR(6) NOT NULL,
    Hc_Comando VARCHAR(30) NOT NULL,
    Hc_Operador VARCHAR(30),
    Hc_Fecha DATETIME,
    CC_Acumula VARCHAR(6),
    CC_Descripcion VARCHAR(50),
    Gcc_Cve_Grupo_Centro_Costo VARCHAR(6),
    CC_Cuenta_Contable VARCHAR(30),
    Cc_Analizar VARCHAR(2),
    Cc_UserDef_1 VARCHAR(50),
    Cc_UserDef_2 VARCHAR(50),
    Cc_UserDef_3 TEXT,
    Cc_UserDef_4 TEXT,
    Cc_UserDef_5 DATE,
    Cc_UserDef_6 DATE,
    CC_Tipo SMALLINT,
    Es_Cve_Estado VARCHAR(2),
    Oper_Alta VARCHAR(30),
    Fecha_Alta DATETIME,
    Oper_Ult_Modif VARCHAR(30),
    Fecha_Ult_Modif DATETIME,
    Oper_Baja VARCHAR(30),
    Fecha_Baja DATETIME
);
CREATE INDEX IX_Historial_Centro_Clave ON Historial_Centro (Hc_Clave, Hc_Id);

-- The schema's versions this database has reached; the highest is the one it has.
CREATE TABLE Version_Esquema (
    Ve_Version INTEGER NOT NULL PRIMARY KEY
);

-- The catalogue's version: every change of a centre raises it and notes the centre's key with
-- the version that changed it last, whoever writes the table. An open catalogue reads the one
-- row to learn whether anything changed, then only the centres noted since.
CREATE TABLE Version_Catalogo (
    Vc_Version INTEGER NOT NULL
);
INSERT INTO Version_Catalogo (Vc_Version) VALUES (0);

CREATE TABLE Cambio_Centro (
    Cm_Clave VARCHAR(6) NOT NULL PRIMARY KEY,
    Vc_Version INTEGER NOT NULL
);
CREATE INDEX IX_Cambio_Centro_Version ON Cambio_Centro (Vc_Version);

CREATE TRIGGER TR_Centro_Costo_Alta AFTER INSERT ON Centro_Costo BEGIN
    UPDATE Version_Catalogo SET Vc_Version = Vc_Version + 1;
    INSERT INTO Cambio_Centro (Cm_Clave, Vc_Version)
        SELECT NEW.CC_Cve_Centro_Costo, Vc_Version FROM Version_Catalogo WHERE 1
        ON CONFLICT (Cm_Clave) DO UPDATE SET Vc_Version = excluded.Vc_Version;
END;

CREATE TRIGGER TR_Centro_Costo_Cambio AFTER UPDATE ON Centro_Costo BEGIN
    UPDATE Version_Catalogo SET Vc_Version = Vc_Version + 1;
    INSERT INTO Cambio_Centro (Cm_Clave, Vc_Version)
        SELECT NEW.CC_Cve_Centro_Costo, Vc_Version FROM Version_Catalogo WHERE 1
        ON CONFLICT (Cm_Clave) DO UPDATE SET Vc_Version = excluded.Vc_Version;
END;

CREATE TRIGGER TR_Centro_Costo_Baja AFTER DELETE ON Centro_Costo BEGIN
    UPDATE Version_Catalogo SET Vc_Version = Vc_Version + 1;
    INSERT INTO Cambio_Centro (Cm_Clave, Vc_Version)
        SELECT OLD.CC_Cve_Centro_Costo, Vc_Version FROM Version_Catalogo WHERE 1
        ON CONFLICT (Cm_Clave) DO UPDATE SET Vc_Version = excluded.Vc_Version;
END;

-- The catalogue as the delete command's dependency scan reads it: user tables are type 'U',
-- and names compare without regard to case.
CREATE VIEW sysobjects AS
SELECT m.name COLLATE NOCASE AS id,
       m.name COLLATE NOCASE AS name,
       CASE m.type WHEN 'table' THEN 'U' ELSE 'V' END AS type
FROM sqlite_master m
WHERE m.type IN ('table', 'view') AND m.name NOT LIKE 'sqlite\_%' ESCAPE '\';

CREATE VIEW syscolumns AS
SELECT m.name COLLATE NOCASE AS id,
       p.name COLLATE NOCASE AS name
FROM sqlite_master m
JOIN pragma_table_info(m.name) p
WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite\_%' ESCAPE '\';
