-- The catalogue tables of the database, where each is, whether this connection may read it and
-- finds it by its bare name, and whether the schema's version table stands beside it.
SELECT 'main' AS Esquema, 1 AS Legible, 1 AS Visible,
       (SELECT COUNT(*) FROM sqlite_master v WHERE v.type = 'table' AND v.name = 'Version_Esquema' COLLATE NOCASE) AS ConVersion
FROM sqlite_master
WHERE type = 'table' AND name = 'Centro_Costo' COLLATE NOCASE;
