-- Version 4: the catalogue's version and the notes of what changed.
-- The catalogue's version: every change of a centre raises it and notes the centre's key with
-- the version that changed it last, whoever writes the table. An open catalogue reads the one
-- row to learn whether anything changed, then only the centres noted since. Writers wait for
-- each other on the one row, so versions are given in the order changes commit.
CREATE TABLE Version_Catalogo (
    Vc_Version BIGINT NOT NULL
);
INSERT INTO Version_Catalogo (Vc_Version) VALUES (0);

CREATE TABLE Cambio_Centro (
    Cm_Clave VARCHAR(6) NOT NULL PRIMARY KEY,
    Vc_Version BIGINT NOT NULL
);
CREATE INDEX IX_Cambio_Centro_Version ON Cambio_Centro (Vc_Version);

CREATE FUNCTION Nota_Cambio_Centro() RETURNS trigger AS $$
DECLARE
    nueva BIGINT;
    clave VARCHAR(6);
BEGIN
    UPDATE Version_Catalogo SET Vc_Version = Vc_Version + 1 RETURNING Vc_Version INTO nueva;
    IF TG_OP = 'DELETE' THEN
        clave := OLD.CC_Cve_Centro_Costo;
    ELSE
        clave := NEW.CC_Cve_Centro_Costo;
    END IF;
    INSERT INTO Cambio_Centro (Cm_Clave, Vc_Version) VALUES (clave, nueva)
        ON CONFLICT (Cm_Clave) DO UPDATE SET Vc_Version = EXCLUDED.Vc_Version;
    RETURN NULL;
END;
$$ LANGUAGE plpgsql;

CREATE TRIGGER TR_Centro_Costo_Cambio AFTER INSERT OR UPDATE OR DELETE ON Centro_Costo
    FOR EACH ROW EXECUTE FUNCTION Nota_Cambio_Centro();
