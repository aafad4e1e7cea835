// The catalogue's import: an exported file edited as a spreadsheet user would and read back,
// every refusal of a file reported together, one transaction whatever statement fails, the
// simulation, CC_Tipo of the parents and the ledger accounts of new centres.
#include "kt508/services/Historial.h"
#include "kt508/services/Plataforma.h"
#include "kt508/services/ReglasCentro.h"
#include "suite/ado/Dialecto.h"
#include "suite/catalogo/Exportacion.h"
#include "suite/catalogo/Importacion.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Dobles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using orbanel::catalogo::Importacion;
using orbanel::catalogo::Modo;
using namespace Qt::StringLiterals;

namespace {

const QDateTime Reloj(QDate(2024, 5, 6), QTime(7, 8, 9));

// One import on one backend: the demo catalogue handed to the session, the suite's services
// with the clock stopped at Reloj.
class Entorno {
public:
    explicit Entorno(const QString& backend)
    {
        orbanel::Sesion::Establece(pruebas::abre(backend, pruebas::Contenido::Demo), u"PRUEBAS"_s);
        pruebas::Dobles dobles = pruebas::InstalaDobles();
        dobles.utilerias->reloj = Reloj;
        m_datos = kt508::plataforma().NuevoDatos();
        m_utilerias = kt508::plataforma().NuevoUtilerias();
    }
    ~Entorno() { orbanel::Sesion::Cierra(); }

    orbanel::ado::AdoConnection& db() const { return orbanel::Sesion::Conexion(); }
    QString Hora() const { return orbanel::ado::Dialecto::De(db().dialect()).FechaHora(Reloj); }

    QString Archivo(const QStringList& renglones) { return Archivo(renglones.join(u"\r\n"_s).toUtf8() + "\r\n"); }
    QString Archivo(const QByteArray& contenido)
    {
        const QString archivo = m_carpeta.filePath(u"catalogo%1.csv"_s.arg(++m_archivos));
        QFile salida(archivo);
        return salida.open(QIODevice::WriteOnly) && salida.write(contenido) == contenido.size() ? archivo : QString();
    }

    Importacion Importa(const QString& archivo, Modo modo = Modo::Importar,
                        const orbanel::catalogo::Avance& avance = {})
    {
        return orbanel::catalogo::Importa(archivo, *m_datos, *m_utilerias, modo, avance);
    }

private:
    QTemporaryDir m_carpeta;
    int m_archivos = 0;
    std::unique_ptr<kt508::IDatos> m_datos;
    std::unique_ptr<kt508::IUtilerias> m_utilerias;
};

QStringList Renglones(const QString& archivo)
{
    QFile entrada(archivo);
    if (!entrada.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(entrada.readAll().mid(3)).split(u"\r\n"_s, Qt::SkipEmptyParts);
}

// "línea|clave|motivo" per refusal.
QStringList Rechazos(const Importacion& importacion)
{
    QStringList lista;
    for (const orbanel::catalogo::Rechazo& r : importacion.rechazos)
        lista << u"%1|%2|%3"_s.arg(r.linea).arg(r.clave, r.motivo);
    return lista;
}

QString Valor(orbanel::ado::AdoConnection& db, const QString& columna, const QString& clave)
{
    return pruebas::escalar(db, u"SELECT %1 FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%2'"_s.arg(columna, clave))
        .toString();
}

} // namespace

class PruebasImportacion : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { pruebas::agregaBackends(); }
    void idaYVuelta();
    void todosLosRechazosJuntos();
    void unaSolaTransaccion_data();
    void unaSolaTransaccion();
    void simularNoEscribe();
    void tipoDeLosPadres();
    void cuentaComoLaDelEditor();
    void archivosDeHojaDeCalculo();
    void decimalesExactos_data();
    void decimalesExactos();
};

// The export edited as in a spreadsheet (a column moved, a description changed, a centre
// deactivated, a row added) and read back gives exactly the catalogue those changes make by
// hand: the rest untouched, the deactivation and the parent stamped, the account generated, a
// line in the log and a note in its history each.
void PruebasImportacion::idaYVuelta()
{
    QFETCH_GLOBAL(QString, backend);
    QString esperado;
    {
        Entorno e(backend);
        const QString h = e.Hora();
        QVERIFY_SQL(e.db().Execute(u"UPDATE Centro_Costo SET CC_Descripcion = 'Publicidad y medios', Oper_Ult_Modif "
                                   "= 'PRUEBAS', Fecha_Ult_Modif = '%1' WHERE CC_Cve_Centro_Costo = '1011'"_s.arg(h)));
        QVERIFY_SQL(e.db().Execute(u"UPDATE Centro_Costo SET Es_Cve_Estado = 'BA', Oper_Ult_Modif = 'PRUEBAS', "
                                   "Fecha_Ult_Modif = '%1', Oper_Baja = 'PRUEBAS', Fecha_Baja = '%1' WHERE "
                                   "CC_Cve_Centro_Costo = '1012'"_s.arg(h)));
        QVERIFY_SQL(
            e.db().Execute(u"INSERT INTO Cuenta_Contable (Cc_Cve_Cuenta_Contable, Cc_Descripcion, CC_Tipo, "
                           "Cc_Titulo, Cc_Naturaleza, Cc_Resultado, Cc_Grupo_Cuenta_Contable, Cc_Cuenta_Padre, "
                           "Cc_Afectable) VALUES ('5100-2012', 'COMERCIAL', 1, 1, 'DE', 'SI', 'GAS', '5100', 1)"_s));
        QVERIFY_SQL(e.db().Execute(
            u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, Gcc_Cve_Grupo_Centro_Costo, "
            "CC_Cuenta_Contable, Cc_Analizar, Cc_UserDef_1, Cc_UserDef_3, Cc_UserDef_5, CC_Tipo, Es_Cve_Estado, "
            "Oper_Alta, Fecha_Alta, Oper_Ult_Modif, Fecha_Ult_Modif) VALUES ('1013', '101', 'Relaciones públicas "
            "🦜', "
            "'000100', '5100-2012', 'NO', 'Prensa', 12.5, '2024-03-31', 0, 'AC', 'PRUEBAS', '%1', 'PRUEBAS', '%1')"_s
                .arg(h)));
        QVERIFY_SQL(e.db().Execute(u"UPDATE Centro_Costo SET CC_Tipo = 1, Oper_Ult_Modif = 'PRUEBAS', "
                                   "Fecha_Ult_Modif = '%1' WHERE CC_Cve_Centro_Costo = '101'"_s.arg(h)));
        for (const char* linea :
             {"1011', 'PRUEBAS', '%1', 'Cambio", "1012', 'PRUEBAS', '%1', 'Cambio", "1013', 'PRUEBAS', '%1', 'Alta"})
            QVERIFY_SQL(
                e.db().Execute(u"INSERT INTO Bitacora_Cambios (Bc_Tabla, Bc_Clave, Bc_Operador, Bc_Fecha, "
                               "Bc_Detalle) VALUES ('CENTRO_COSTO', '%1 por importación de catalogo2.csv')"_s.arg(
                                   QString::fromUtf8(linea).arg(h))));
        // Each centre written, then the parent whose type changed, noted in its history.
        for (const QString& clave : {u"1011"_s, u"1012"_s, u"1013"_s, u"101"_s})
            QVERIFY_SQL(e.db().Ejecuta(kt508::historial::Nota(u"Importar"_s, u"PRUEBAS"_s, h, clave)));
        esperado = pruebas::volcado(e.db());
    }
    Entorno e(backend);
    const QString exportado = e.Archivo(QByteArray());
    QVERIFY_SQL(orbanel::catalogo::Exporta(e.db(), exportado));
    // The demo has no value a CSV quotes: a comma splits the fields.
    QStringList renglones;
    for (const QString& renglon : Renglones(exportado)) {
        QStringList campos = renglon.split(u',');
        campos.move(3, campos.size() - 1); // Descripción, to the end
        if (campos.at(2) == u"1011"_s)
            campos.last() = u"Publicidad y medios"_s;
        if (campos.at(2) == u"1012"_s)
            campos[4] = u"BA"_s; // Estado
        renglones << campos.join(u',');
        if (campos.at(2) == u"1012"_s)
            renglones << u",,1013,101,,,,,NO,Prensa,,12.5,,2024-03-31,,,,,,Relaciones públicas 🦜"_s;
    }
    Importacion importacion;
    QVERIFY_SQL(importacion = e.Importa(e.Archivo(renglones)));
    QVERIFY2(importacion.Escrita(), qPrintable(importacion.Texto()));
    QCOMPARE(std::make_tuple(importacion.nuevos, importacion.modificados, importacion.sinCambios, importacion.cuentas),
             std::make_tuple(1, 2, 48, 1));
    QCOMPARE(pruebas::volcado(e.db()), esperado);
}

// Each row at fault with its line and every reason it has, all in one report; the rows that
// pass (a key of six characters, one of them an emoji; a description of fifty) are not
// written either.
void PruebasImportacion::todosLosRechazosJuntos()
{
    QFETCH_GLOBAL(QString, backend);
    Entorno e(backend);
    const QString antes = pruebas::volcado(e.db());
    const QString x50 = QString(49, u'x');
    const QString archivo = e.Archivo({
        u"Clave,Descripción,Acumula en,Estado,Cuenta contable,Grupo,Analizar,Dato 1,Dato 3,Dato 4,Dato 5"_s,
        u"AB🦜CDE,Con pájaro,0"_s,                    // 2
        u",Sin clave,0"_s,                               // 3
        u"ABCDEFG,Clave larga,0"_s,                      // 4
        u"0,La raíz,0"_s,                                // 5
        u"\" 12\",Con blancos,0"_s,                      // 6
        u"100,Cambiada,0"_s,                             // 7
        u"100,Otra vez,0"_s,                             // 8
        u"N1,,0"_s,                                      // 9
        u"N2,🦜x%1,0"_s.arg(x50),                      // 10
        u"N3,🦜%1,0"_s.arg(x50),                       // 11
        u"N4,Sin padre,ZZ"_s,                            // 12
        u"N5,Padre después,N6"_s,                        // 13
        u"N6,Después,0"_s,                               // 14
        u"N7,Sí mismo,N7"_s,                             // 15
        u"101,Bajo su hijo,1011"_s,                      // 16
        u"N8,Estado,0,XX"_s,                             // 17
        u"N9,Cuenta,0,,9999"_s,                          // 18
        u"N10,Grupo,0,,,999"_s,                          // 19
        u"N11,Analizar,0,,,,si"_s,                       // 20
        u"N12,Dato,0,,,,,x%1x"_s.arg(x50),               // 21
        u"N13,Números,0,,,,,,123456789012345,1.23456"_s, // 22
        u"N14,Fecha,0,,,,,,,,31/02/2024"_s,              // 23
        u"N15,Campos de más,0,,,,,,,,,sobra"_s,          // 24
    });
    Importacion importacion;
    QVERIFY_SQL(importacion = e.Importa(archivo));
    QCOMPARE(Rechazos(importacion),
             (QStringList{
                 u"3||Debe especificar una clave para el CECO!"_s,
                 u"4|ABCDEFG|La clave admite hasta 6 caracteres y «ABCDEFG» tiene 7."_s,
                 u"5|0|La clave 0 es la de la raíz del catálogo; especifique otra."_s,
                 u"6| 12|La clave « 12» tiene blancos al principio o al final."_s,
                 u"8|100|La clave 100 ya aparece en la línea 7 del archivo."_s,
                 u"9|N1|Debe especificar una descripción!"_s,
                 u"10|N2|La descripción admite hasta 50 caracteres y «🦜x%1» tiene 51."_s.arg(x50),
                 u"12|N4|El centro acumulador ZZ no existe."_s,
                 u"13|N5|El centro acumulador N6 viene después, en la línea 14: cada centro debe ir después del "
                 "centro en que acumula."_s,
                 u"15|N7|Un centro no puede acumular en sí mismo."_s,
                 u"16|101|Acumular en 1011 formaría un ciclo: 101 → 1011 → 101."_s,
                 u"17|N8|El estado debe ser AC (activo) o BA (de baja), no «XX»."_s,
                 u"18|N9|La cuenta contable 9999 no existe."_s,
                 u"19|N10|El grupo 999 no existe."_s,
                 u"20|N11|Analizar debe ser SI o NO, no «si»."_s,
                 u"21|N12|Dato 1 admite hasta 50 caracteres y «x%1x» tiene 51."_s.arg(x50),
                 u"22|N13|Dato 3: «123456789012345» tiene más de 14 dígitos antes del punto. Dato 4: «1.23456» "
                 "tiene más de 4 decimales."_s,
                 u"23|N14|Dato 5: «31/02/2024» no es una fecha (se escribe aaaa-mm-dd, como 2024-03-31)."_s,
                 u"24|N15|Tiene valores en 12 campos y el encabezado nombra 11 columnas."_s,
             }));
    QVERIFY(!importacion.Escrita());
    QVERIFY(importacion.Texto().startsWith(u"No se importó nada: 19 renglones de "_s));
    QCOMPARE(pruebas::volcado(e.db()), antes);
}

void PruebasImportacion::unaSolaTransaccion_data()
{
    QTest::addColumn<QString>("sentencia");
    QTest::addColumn<int>("vez");
    QTest::newRow("ninguna") << QString() << 0;
    QTest::newRow("los centros") << u"FROM Centro_Costo ORDER BY"_s << 1;
    QTest::newRow("los grupos") << u"FROM Grupo_Centro_Costo"_s << 1;
    QTest::newRow("las cuentas") << u"CC_Tipo, Cc_Titulo"_s << 1;
    QTest::newRow("el grupo por omisión") << u"FROM Parametros"_s << 1;
    QTest::newRow("la cuenta padre") << u"FROM Parametros"_s << 2;
    QTest::newRow("alta de un centro") << u"INSERT INTO Centro_Costo"_s << 1;
    QTest::newRow("alta en el segundo lote") << u"INSERT INTO Centro_Costo"_s << 260;
    QTest::newRow("cambio de un centro") << u"UPDATE Centro_Costo SET CC_Descripcion"_s << 1;
    QTest::newRow("CC_Tipo de un padre") << u"UPDATE Centro_Costo SET CC_Tipo"_s << 1;
    QTest::newRow("bitácora") << u"INSERT INTO Bitacora_Cambios"_s << 1;
    QTest::newRow("bitácora del segundo lote") << u"INSERT INTO Bitacora_Cambios"_s << 270;
    QTest::newRow("cuenta padre de la cuenta") << u"WHERE Cc_Cve_Cuenta_Contable = ?"_s << 1;
    QTest::newRow("número de la cuenta") << u"WHERE Cc_Cuenta_Padre"_s << 1;
    QTest::newRow("alta de la cuenta") << u"INSERT INTO Cuenta_Contable"_s << 1;
    QTest::newRow("alta de la cuenta 280") << u"INSERT INTO Cuenta_Contable"_s << 280;
}

// Whatever statement fails, the database is left exactly as it was: 300 new centres under a
// leaf (two batches, an account each), a centre changed, the leaf's CC_Tipo.
void PruebasImportacion::unaSolaTransaccion()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QString, sentencia);
    QFETCH(int, vez);
    Entorno e(backend);
    QStringList renglones{u"Clave,Descripción,Acumula en"_s, u"1011,Publicidad y medios,101"_s};
    for (int i = 1; i <= 300; ++i)
        renglones << u"N%1,Nuevo %1,1061"_s.arg(i);
    const QString archivo = e.Archivo(renglones);
    const QString antes = pruebas::volcado(e.db());
    if (vez > 0)
        e.db().failContaining(sentencia, vez);
    const QString error = pruebas::errorDe([&] { e.Importa(archivo); });
    e.db().clearFailure();
    QCOMPARE(error.isEmpty(), vez == 0);
    QCOMPARE(pruebas::volcado(e.db()) == antes, vez > 0);
    QVERIFY(!e.db().inTransaction());
}

// A simulation checks and counts as the import does, and sends nothing that writes.
void PruebasImportacion::simularNoEscribe()
{
    QFETCH_GLOBAL(QString, backend);
    Entorno e(backend);
    const QString antes = pruebas::volcado(e.db());
    const QString archivo = e.Archivo({u"Clave,Descripción,Acumula en"_s, u"1011,Publicidad y medios,101"_s,
                                       u"1013,Relaciones públicas,101"_s, u"1012,Investigación de mercados,101"_s});
    e.db().setRecording(true);
    Importacion importacion;
    QVERIFY_SQL(importacion = e.Importa(archivo, Modo::Simular));
    QCOMPARE(std::make_tuple(importacion.nuevos, importacion.modificados, importacion.sinCambios, importacion.cuentas,
                             importacion.padres),
             std::make_tuple(1, 1, 1, 1, 1));
    QVERIFY(!importacion.Escrita());
    QVERIFY(importacion.Texto().startsWith(u"Simulación: no se escribió nada."_s));
    for (const QString& enviada : e.db().recorded())
        QVERIFY2(enviada.startsWith(u"SELECT"_s), qPrintable(enviada));
    QCOMPARE(pruebas::volcado(e.db()), antes);
}

// CC_Tipo follows the children once the file is in: a centre that loses its last children to
// a move, the leaf that takes them, a leaf under which a centre is added, and a new centre with
// a child further down the file; those outside the file are stamped as the editor stamps a parent.
void PruebasImportacion::tipoDeLosPadres()
{
    QFETCH_GLOBAL(QString, backend);
    Entorno e(backend);
    const QString archivo =
        e.Archivo({u"Clave,Descripción,Acumula en"_s, u"10511,Mostrador Monterrey,203"_s,
                   u"10512,Mostrador Saltillo,203"_s, u"N1,Nuevo,204"_s, u"N2,Nuevo bajo nuevo,N1"_s});
    Importacion importacion;
    QVERIFY_SQL(importacion = e.Importa(archivo));
    QVERIFY2(importacion.Escrita(), qPrintable(importacion.Texto()));
    QCOMPARE(importacion.padres, 3);
    for (const auto& [clave, tipo] : {std::pair(u"1051"_s, 0), std::pair(u"203"_s, 1), std::pair(u"204"_s, 1),
                                      std::pair(u"N1"_s, 1), std::pair(u"N2"_s, 0), std::pair(u"10511"_s, 0)}) {
        QCOMPARE(Valor(e.db(), u"CC_Tipo"_s, clave).toInt(), tipo);
        QCOMPARE(Valor(e.db(), u"Oper_Ult_Modif"_s, clave), u"PRUEBAS"_s);
    }
    QCOMPARE(Valor(e.db(), u"CC_Acumula"_s, u"10512"_s), u"203"_s);
    QCOMPARE(Valor(e.db(), u"Oper_Ult_Modif"_s, u"1052"_s), u"MGARCIA"_s);
}

// A new centre given no account gets one as the editor's save makes it: under the parent account
// of the settings, with its classification and the description of the centre's group. A centre
// given an account, or an existing one, gets none; a parent account that does not exist refuses
// the rows that would need it.
void PruebasImportacion::cuentaComoLaDelEditor()
{
    QFETCH_GLOBAL(QString, backend);
    Entorno e(backend);
    const auto cuentaPadre = [&e](const QString& cuenta) {
        e.db().Execute(
            u"UPDATE Parametros SET Valor = '%1' WHERE Parametro = 'CON_CUENTA_PADRE_CENTRO_COSTO'"_s.arg(cuenta));
    };
    const QStringList renglones{u"Clave,Descripción,Acumula en,Grupo,Cuenta contable"_s, u"N1,Sin cuenta,0,000200"_s,
                                u"N2,Con cuenta,0,000200,6000"_s, u"1011,Publicidad y medios,101"_s};
    QVERIFY_SQL(cuentaPadre(u"9999"_s));
    Importacion importacion;
    QVERIFY_SQL(importacion = e.Importa(e.Archivo(renglones)));
    QCOMPARE(Rechazos(importacion),
             (QStringList{u"2|N1|No se puede generar su cuenta contable: la cuenta padre 9999 "
                          "(CON_CUENTA_PADRE_CENTRO_COSTO) no existe."_s}));

    QVERIFY_SQL(cuentaPadre(u"4100"_s));
    QVERIFY_SQL(importacion = e.Importa(e.Archivo(renglones)));
    QCOMPARE(importacion.cuentas, 1);
    QCOMPARE(Valor(e.db(), u"CC_Cuenta_Contable"_s, u"N1"_s), u"4100-001"_s);
    QCOMPARE(Valor(e.db(), u"CC_Cuenta_Contable"_s, u"N2"_s), u"6000"_s);
    QCOMPARE(Valor(e.db(), u"CC_Cuenta_Contable"_s, u"1011"_s), QString());
    kt508::Recordset rs = e.db().Execute(u"SELECT Cc_Descripcion, CC_Tipo, Cc_Titulo, Cc_Naturaleza, Cc_Resultado, "
                                         "Cc_Grupo_Cuenta_Contable, Cc_Cuenta_Padre, Cc_Afectable FROM Cuenta_Contable "
                                         "WHERE Cc_Cuenta_Padre = '4100'"_s);
    QStringList cuenta;
    for (int i = 0; i < rs.FieldCount(); ++i)
        cuenta << rs.Value(i).toString();
    QCOMPARE(cuenta, u"OPERACIONES 0 0 AC SI ING 4100 1"_s.split(u' '));
    QCOMPARE(rs.RecordCount(), 1);
}

// What spreadsheets save: semicolons and a decimal comma, no byte-order mark, LF, a description
// on two lines (the rows after it keep their line numbers), blank rows, headings in other
// capitals and a column the catalogue does not have, reported.
void PruebasImportacion::archivosDeHojaDeCalculo()
{
    QFETCH_GLOBAL(QString, backend);
    Entorno e(backend);
    const QByteArray texto = "clave;DESCRIPCI\xC3\x93N;Acumula en;Dato 3;Notas\n"
                             "N1;\"Dos\nl\xC3\xADneas\";0;1250,75;una nota\n"
                             "\n"
                             ";;;;\n"
                             "N2;Bien;N1;0,5;\n";
    Importacion importacion;
    QVERIFY_SQL(importacion = e.Importa(e.Archivo(texto + "N3;Mal;ZZ;1.5.5\n")));
    QCOMPARE(Rechazos(importacion),
             (QStringList{u"7|N3|Dato 3: «1.5.5» no es un número (se escribe con punto "
                          "decimal, como 1250.75). El centro acumulador ZZ no existe."_s}));
    QCOMPARE(importacion.ignoradas, QStringList{u"Notas"_s});

    QVERIFY_SQL(importacion = e.Importa(e.Archivo(texto)));
    QVERIFY2(importacion.Escrita(), qPrintable(importacion.Texto()));
    QVERIFY(importacion.Texto().endsWith(u"Se ignoraron las columnas que el catálogo no tiene: «Notas»."_s));
    QCOMPARE(Valor(e.db(), u"CC_Descripcion"_s, u"N1"_s), u"Dos\nlíneas"_s);
    QCOMPARE(Valor(e.db(), u"CAST(Cc_UserDef_3 AS VARCHAR(40))"_s, u"N1"_s).toDouble(), 1250.75);
    QCOMPARE(Valor(e.db(), u"CC_Acumula"_s, u"N2"_s), u"N1"_s);
}

void PruebasImportacion::decimalesExactos_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("numero"); // empty: refused
    QTest::newRow("catorce y cuatro") << u"12345678901234.5678"_s << u"12345678901234.5678"_s;
    QTest::newRow("negativo") << u"-12345678901234.5678"_s << u"-12345678901234.5678"_s;
    QTest::newRow("ceros que no cuentan") << u"00012.50000"_s << u"12.5"_s;
    QTest::newRow("quince enteros") << u"123456789012345"_s << QString();
    QTest::newRow("cinco decimales") << u"0.12345"_s << QString();
    QTest::newRow("exponente") << u"1e5"_s << QString();
}

// Dato 3 and 4 within numeric(18,4), written as the digits read: never through a double.
void PruebasImportacion::decimalesExactos()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QString, texto);
    QFETCH(QString, numero);
    QString motivo;
    const std::optional<kt508::Decimal> decimal = kt508::reglas::DecimalDato(texto, motivo);
    QCOMPARE(decimal ? decimal->Texto() : QString(), numero);
    QCOMPARE(motivo.isEmpty(), !numero.isEmpty());
    // SQLite keeps the column as a double whatever it is given; a server keeps what it gets.
    if (numero.isEmpty() || backend == u"sqlite"_s)
        return;
    Entorno e(backend);
    QVERIFY_SQL(e.Importa(e.Archivo({u"Clave,Descripción,Acumula en,Dato 4"_s, u"N1,Decimal,0,"_s + texto})));
    QCOMPARE(kt508::Decimal::DeTexto(Valor(e.db(), u"CAST(Cc_UserDef_4 AS VARCHAR(40))"_s, u"N1"_s))->Texto(), numero);
}

QTEST_MAIN(PruebasImportacion)
#include "tst_importa.moc"
