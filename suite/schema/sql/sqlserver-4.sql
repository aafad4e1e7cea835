-- Version 4: the catalogue's version and the notes of what changed.
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
