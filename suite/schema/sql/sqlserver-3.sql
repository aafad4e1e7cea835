-- Version 3: the history of each centre: its row as each command left it (a deletion leaves them empty), with
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
