-- Orbanel: the suite's tables on SQL Server (the real sysobjects and syscolumns serve the scan).
CREATE TABLE Centro_Costo (
    CC_Cve_Centro_Costo VARCHAR(6) NOT NULL PRIMARY KEY,
    CC_Acumula VARCHAR(6),
    CC_Descripcion VARCHAR(50),
    Gcc_Cve_Grupo_Centro_Costo VARCHAR(6),
    CC_Cuenta_Contable VARCHAR(30),
    Cc_Analizar VARCHAR(2),
    Cc_UserDef_1 VARCHAR(50),
    Cc_UserDef_2 VARCHAR(50),
    Cc_UserDef_3 NUMERIC(18,4),
    Cc_UserDef_4 NUMERIC(18,4),
    Cc_UserDef_5 DATE,
    Cc_UserDef_6 DATE,
    CC_Tipo SMALLINT DEFAULT 0,
    Es_Cve_Estado VARCHAR(2) DEFAULT 'AC',
    Oper_Alta VARCHAR(30),
    Fecha_Alta DATETIME,
    Oper_Ult_Modif VARCHAR(30),
    Fecha_Ult_Modif DATETIME,
    Oper_Baja VARCHAR(30),
    Fecha_Baja DATETIME
);
-- Subtrees are deleted parent first: no foreign key on CC_Acumula, only an index; the key
-- beside it gives the children in key order without a sort.
CREATE INDEX IX_Centro_Costo_Acumula ON Centro_Costo (CC_Acumula, CC_Cve_Centro_Costo);

CREATE TABLE Grupo_Centro_Costo (
    Gcc_Cve_Grupo_Centro_Costo VARCHAR(6) NOT NULL PRIMARY KEY,
    Gcc_Descripcion VARCHAR(50)
);

CREATE TABLE Cuenta_Contable (
    Cc_Cve_Cuenta_Contable VARCHAR(30) NOT NULL PRIMARY KEY,
    Cc_Descripcion VARCHAR(100),
    CC_Tipo SMALLINT,
    Cc_Titulo SMALLINT,
    Cc_Naturaleza VARCHAR(2),
    Cc_Resultado VARCHAR(2),
    Cc_Grupo_Cuenta_Contable VARCHAR(10),
    Cc_Cuenta_Padre VARCHAR(30),
    Cc_Afectable SMALLINT
);
CREATE INDEX IX_Cuenta_Contable_Padre ON Cuenta_Contable (Cc_Cuenta_Padre);

CREATE TABLE Parametros (
    Parametro VARCHAR(60) NOT NULL PRIMARY KEY,
    Valor VARCHAR(255),
    Descripcion VARCHAR(120)
);

CREATE TABLE Bitacora_Cambios (
    Bc_Id INT IDENTITY(1,1) PRIMARY KEY,
    Bc_Tabla VARCHAR(60),
    Bc_Clave VARCHAR(30),
    Bc_Operador VARCHAR(30),
    Bc_Fecha DATETIME,
    Bc_Detalle VARCHAR(255)
);

CREATE TABLE Campos_Adicionales_Def (
    Cad_Tabla VARCHAR(60) NOT NULL,
    Cad_Campo VARCHAR(30) NOT NULL,
    Cad_Etiqueta VARCHAR(60),
    Cad_Obligatorio SMALLINT DEFAULT 0,
    Cad_Orden SMALLINT,
    PRIMARY KEY (Cad_Tabla, Cad_Campo)
);

CREATE TABLE Campos_Adicionales (
    Ca_Tabla VARCHAR(60) NOT NULL,
    Ca_Clave VARCHAR(30) NOT NULL,
    Ca_Campo VARCHAR(30) NOT NULL,
    Ca_Valor VARCHAR(255),
    PRIMARY KEY (Ca_Tabla, Ca_Clave, Ca_Campo)
);

CREATE TABLE Poliza_Detalle (
    Pd_Id INTEGER NOT NULL PRIMARY KEY,
    Pd_Poliza VARCHAR(10),
    Pd_Renglon INTEGER,
    Cc_Cve_Cuenta_Contable VARCHAR(30),
    Cc_Cve_Centro_costo VARCHAR(6),
    Pd_Cargo NUMERIC(18,2),
    Pd_Abono NUMERIC(18,2),
    Pd_Concepto VARCHAR(100),
    CONSTRAINT FK_Poliza_Detalle_Centro FOREIGN KEY (Cc_Cve_Centro_costo) REFERENCES Centro_Costo (CC_Cve_Centro_Costo)
);
CREATE INDEX IX_Poliza_Detalle_Centro ON Poliza_Detalle (Cc_Cve_Centro_costo);

CREATE TABLE Presupuesto_Centro (
    Pc_Anio INTEGER NOT NULL,
    Cc_Cve_Centro_costo VARCHAR(6) NOT NULL,
    Pc_Importe NUMERIC(18,2),
    PRIMARY KEY (Pc_Anio, Cc_Cve_Centro_costo),
    CONSTRAINT FK_Presupuesto_Centro_Centro FOREIGN KEY (Cc_Cve_Centro_costo) REFERENCES Centro_Costo (CC_Cve_Centro_Costo)
);
CREATE INDEX IX_Presupuesto_Centro_Centro ON Presupuesto_Centro (Cc_Cve_Centro_costo);

-- The history of each centre: its row as each command left it (a deletion leaves them empty), with
-- who, when and which command. Its key refers to no centre, so that a deleted centre's history
-- stays readable; the remaining columns are Centro_Costo's own.
CREATE TABLE Historial_Centro (
    Hc_Id INT IDENTITY(1,1) PRIMARY KEY,
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
    Cc_UserDef_3 NUMERIC(18,4),
    Cc_UserDef_4 NUMERIC(18,4),
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

-- The catalogue's version: every change of centres raises it and notes their keys with the
-- version that changed them last, whoever writes the table. An open catalogue reads the one
-- row to learn whether anything changed, then only the centres noted since.
CREATE TABLE Version_Catalogo (
    Vc_Version BIGINT NOT NULL
);
INSERT INTO Version_Catalogo (Vc_Version) VALUES (0);

CREATE TABLE Cambio_Centro (
    Cm_Clave VARCHAR(6) NOT NULL PRIMARY KEY,
    Vc_Version BIGINT NOT NULL
);
CREATE INDEX IX_Cambio_Centro_Version ON Cambio_Centro (Vc_Version);

CREATE TRIGGER TR_Centro_Costo_Cambio ON Centro_Costo AFTER INSERT, UPDATE, DELETE AS
BEGIN
    SET NOCOUNT ON;
    IF NOT EXISTS (SELECT 1 FROM inserted) AND NOT EXISTS (SELECT 1 FROM deleted)
        RETURN;
    DECLARE @nueva BIGINT;
    UPDATE Version_Catalogo SET @nueva = Vc_Version = Vc_Version + 1;
    MERGE Cambio_Centro AS c
    USING (SELECT CC_Cve_Centro_Costo FROM inserted UNION SELECT CC_Cve_Centro_Costo FROM deleted) AS n (Clave)
        ON c.Cm_Clave = n.Clave
    WHEN MATCHED THEN UPDATE SET Vc_Version = @nueva
    WHEN NOT MATCHED THEN INSERT (Cm_Clave, Vc_Version) VALUES (n.Clave, @nueva);
END;
