-- Version 2: every table that refers to a centre declares it, and the money-like columns hold
-- the exact decimal as text. SQLite adds neither to an existing table: each is rebuilt with its
-- rows while the connection's foreign keys are off, as SQLite prescribes for such a change. A
-- stored number keeps the shortest text that reads back as the same value. Every query here
-- lists the rows that the new rules refuse, as Tabla, Clave and Motivo: the upgrade stops at the
-- first that finds one.

-- Lines and budgets of centres that do not exist.
SELECT 'Poliza_Detalle' AS Tabla, CAST(Pd_Id AS TEXT) AS Clave,
       'el centro ' || Cc_Cve_Centro_costo || ' no existe' AS Motivo
FROM Poliza_Detalle p
WHERE Cc_Cve_Centro_costo IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Centro_Costo c WHERE c.CC_Cve_Centro_Costo = p.Cc_Cve_Centro_costo)
UNION ALL
SELECT 'Presupuesto_Centro', CAST(Pc_Anio AS TEXT), 'el centro ' || Cc_Cve_Centro_costo || ' no existe'
FROM Presupuesto_Centro p
WHERE NOT EXISTS (SELECT 1 FROM Centro_Costo c WHERE c.CC_Cve_Centro_Costo = p.Cc_Cve_Centro_costo)
ORDER BY 1, 2;

-- Poliza_Detalle
CREATE TABLE Poliza_Detalle_2 (
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
INSERT OR IGNORE INTO Poliza_Detalle_2 (Pd_Id, Pd_Poliza, Pd_Renglon, Cc_Cve_Cuenta_Contable, Cc_Cve_Centro_costo, Pd_Cargo, Pd_Abono, Pd_Concepto)
SELECT Pd_Id,
       Pd_Poliza,
       Pd_Renglon,
       Cc_Cve_Cuenta_Contable,
       Cc_Cve_Centro_costo,
       CASE WHEN typeof(Pd_Cargo) <> 'real' THEN CAST(Pd_Cargo AS TEXT)
            WHEN CAST(printf('%.15g', Pd_Cargo) AS REAL) = Pd_Cargo THEN printf('%.15g', Pd_Cargo)
            WHEN CAST(printf('%.16g', Pd_Cargo) AS REAL) = Pd_Cargo THEN printf('%.16g', Pd_Cargo)
            ELSE printf('%!.17g', Pd_Cargo) END,
       CASE WHEN typeof(Pd_Abono) <> 'real' THEN CAST(Pd_Abono AS TEXT)
            WHEN CAST(printf('%.15g', Pd_Abono) AS REAL) = Pd_Abono THEN printf('%.15g', Pd_Abono)
            WHEN CAST(printf('%.16g', Pd_Abono) AS REAL) = Pd_Abono THEN printf('%.16g', Pd_Abono)
            ELSE printf('%!.17g', Pd_Abono) END,
       Pd_Concepto
FROM Poliza_Detalle;
-- A row the rebuilt table refuses stays behind and is named.
SELECT 'Poliza_Detalle' AS Tabla, CAST(a.Pd_Id AS TEXT) AS Clave,
       'Pd_Cargo ' || quote(a.Pd_Cargo) || ' o Pd_Abono ' || quote(a.Pd_Abono)
       || ' no es un número de hasta 16 enteros y 2 decimales, o un texto no cabe en su columna' AS Motivo
FROM Poliza_Detalle a
WHERE NOT EXISTS (SELECT 1 FROM Poliza_Detalle_2 n WHERE n.Pd_Id = a.Pd_Id);
DROP TABLE Poliza_Detalle;
ALTER TABLE Poliza_Detalle_2 RENAME TO Poliza_Detalle;
CREATE INDEX IX_Poliza_Detalle_Centro ON Poliza_Detalle (Cc_Cve_Centro_costo);

-- Presupuesto_Centro
CREATE TABLE Presupuesto_Centro_2 (
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
INSERT OR IGNORE INTO Presupuesto_Centro_2 (Pc_Anio, Cc_Cve_Centro_costo, Pc_Importe)
SELECT Pc_Anio,
       Cc_Cve_Centro_costo,
       CASE WHEN typeof(Pc_Importe) <> 'real' THEN CAST(Pc_Importe AS TEXT)
            WHEN CAST(printf('%.15g', Pc_Importe) AS REAL) = Pc_Importe THEN printf('%.15g', Pc_Importe)
            WHEN CAST(printf('%.16g', Pc_Importe) AS REAL) = Pc_Importe THEN printf('%.16g', Pc_Importe)
            ELSE printf('%!.17g', Pc_Importe) END
FROM Presupuesto_Centro;
-- A row the rebuilt table refuses stays behind and is named.
SELECT 'Presupuesto_Centro' AS Tabla, CAST(a.Pc_Anio AS TEXT) || ' ' || a.Cc_Cve_Centro_costo AS Clave,
       'Pc_Importe ' || quote(a.Pc_Importe) || ' no es un número de hasta 16 enteros y 2 decimales, o un texto no cabe en su columna' AS Motivo
FROM Presupuesto_Centro a
WHERE NOT EXISTS (SELECT 1 FROM Presupuesto_Centro_2 n
                  WHERE n.Pc_Anio = a.Pc_Anio AND n.Cc_Cve_Centro_costo = a.Cc_Cve_Centro_costo);
DROP TABLE Presupuesto_Centro;
ALTER TABLE Presupuesto_Centro_2 RENAME TO Presupuesto_Centro;
CREATE INDEX IX_Presupuesto_Centro_Centro ON Presupuesto_Centro (Cc_Cve_Centro_costo);

-- Centro_Costo
CREATE TABLE Centro_Costo_2 (
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
INSERT OR IGNORE INTO Centro_Costo_2 (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, Gcc_Cve_Grupo_Centro_Costo, CC_Cuenta_Contable, Cc_Analizar, Cc_UserDef_1, Cc_UserDef_2, Cc_UserDef_3, Cc_UserDef_4, Cc_UserDef_5, Cc_UserDef_6, CC_Tipo, Es_Cve_Estado, Oper_Alta, Fecha_Alta, Oper_Ult_Modif, Fecha_Ult_Modif, Oper_Baja, Fecha_Baja)
SELECT CC_Cve_Centro_Costo,
       CC_Acumula,
       CC_Descripcion,
       Gcc_Cve_Grupo_Centro_Costo,
       CC_Cuenta_Contable,
       Cc_Analizar,
       Cc_UserDef_1,
       Cc_UserDef_2,
       CASE WHEN typeof(Cc_UserDef_3) <> 'real' THEN CAST(Cc_UserDef_3 AS TEXT)
            WHEN CAST(printf('%.15g', Cc_UserDef_3) AS REAL) = Cc_UserDef_3 THEN printf('%.15g', Cc_UserDef_3)
            WHEN CAST(printf('%.16g', Cc_UserDef_3) AS REAL) = Cc_UserDef_3 THEN printf('%.16g', Cc_UserDef_3)
            ELSE printf('%!.17g', Cc_UserDef_3) END,
       CASE WHEN typeof(Cc_UserDef_4) <> 'real' THEN CAST(Cc_UserDef_4 AS TEXT)
            WHEN CAST(printf('%.15g', Cc_UserDef_4) AS REAL) = Cc_UserDef_4 THEN printf('%.15g', Cc_UserDef_4)
            WHEN CAST(printf('%.16g', Cc_UserDef_4) AS REAL) = Cc_UserDef_4 THEN printf('%.16g', Cc_UserDef_4)
            ELSE printf('%!.17g', Cc_UserDef_4) END,
       Cc_UserDef_5,
       Cc_UserDef_6,
       CC_Tipo,
       Es_Cve_Estado,
       Oper_Alta,
       Fecha_Alta,
       Oper_Ult_Modif,
       Fecha_Ult_Modif,
       Oper_Baja,
       Fecha_Baja
FROM Centro_Costo;
-- A row the rebuilt table refuses stays behind and is named.
SELECT 'Centro_Costo' AS Tabla, a.CC_Cve_Centro_Costo AS Clave,
       'Cc_UserDef_3 ' || quote(a.Cc_UserDef_3) || ' o Cc_UserDef_4 ' || quote(a.Cc_UserDef_4)
       || ' no es un número de hasta 14 enteros y 4 decimales, o un texto no cabe en su columna' AS Motivo
FROM Centro_Costo a
WHERE NOT EXISTS (SELECT 1 FROM Centro_Costo_2 n WHERE n.CC_Cve_Centro_Costo = a.CC_Cve_Centro_Costo);
DROP TABLE Centro_Costo;
ALTER TABLE Centro_Costo_2 RENAME TO Centro_Costo;
CREATE INDEX IX_Centro_Costo_Acumula ON Centro_Costo (CC_Acumula, CC_Cve_Centro_Costo);

-- The schema's versions this database has reached; the highest is the one it has.
CREATE TABLE Version_Esquema (
    Ve_Version INTEGER NOT NULL PRIMARY KEY
);

-- Every reference holds once the tables are rebuilt.
SELECT "table" AS Tabla, CAST(rowid AS TEXT) AS Clave, 'se refiere a una fila de ' || parent || ' que no existe' AS Motivo
FROM pragma_foreign_key_check;
