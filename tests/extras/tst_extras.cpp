// The catalogue's export: the CSV field by field, the tree's order, the XLSX read back with its
// typed cells; files (the export, the listing as PDF) that appear whole or not at all.
#include "kt508/services/Decimal.h"
#include "suite/catalogo/Catalogo.h"
#include "suite/catalogo/Exportacion.h"
#include "suite/catalogo/Xlsx.h"
#include "suite/print/ImpresorTexto.h"
#include "tests/support/Backends.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <unistd.h>

using orbanel::ado::AdoConnection;
using namespace Qt::StringLiterals;

namespace {

struct Campo {
    QString texto;
    bool entreComillas = false;
};
using Renglon = QList<Campo>;

// RFC 4180 as written here: a record ends in CRLF, a quoted field may hold anything.
QList<Renglon> LeeCsv(const QByteArray& bytes)
{
    const QString texto = QString::fromUtf8(bytes.mid(3));
    QList<Renglon> renglones;
    Renglon renglon;
    Campo campo;
    bool dentro = false;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (dentro && c == u'"' && texto.mid(i + 1, 1) == u"\""_s) {
            campo.texto += texto.at(++i);
        } else if (c == u'"') {
            dentro = !dentro;
            campo.entreComillas = true;
        } else if (!dentro && (c == u',' || c == u'\r')) {
            renglon << campo;
            campo = Campo();
            if (c == u'\r') {
                renglones << renglon;
                renglon.clear();
                ++i; // its \n
            }
        } else {
            campo.texto += c;
        }
    }
    return renglones;
}

// Centres beside the demo: texts a CSV must quote, an emoji, NULL and an empty text, exact
// decimals; an orphan with a child, one that is its own parent, two in a cycle and a row "0".
void Siembra(AdoConnection& db, const QString& dato3)
{
    db.Execute(u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, CC_Tipo, Es_Cve_Estado, "
               "Cc_UserDef_1, Cc_UserDef_2, Cc_UserDef_3, Cc_UserDef_4, Cc_UserDef_5, Oper_Alta, Fecha_Alta) "
               "VALUES ('E1', '0', 'Coma, \"comillas\" y\r\nsalto', 1, 'AC', '', NULL, %1, -0.5, '2024-02-29', "
               "'ANA', '2024-03-01 10:20:30')"_s.arg(dato3));
    db.Execute(u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, CC_Tipo) "
               "VALUES ('E2', 'E1', 'Ñandú 🦜 café', 0)"_s);
    for (const char* fila : {"H1 ZZ", "H11 H1", "C1 C1", "C2 C3", "C3 C2", "0 0"}) {
        const QStringList c = QString::fromLatin1(fila).split(u' ');
        db.ExecuteParams(
            u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) VALUES (?, ?, ?)"_s,
            {c.at(0), c.at(1), u"Centro "_s + c.at(0)});
    }
}

// SQLite keeps a numeric column as a double: only fifteen digits come back from it.
QString Dato3(const QString& backend)
{
    return backend == u"sqlite"_s ? u"1234.5678"_s : u"12345678901234.5678"_s;
}

// The demo in the tree's order, then the centres above.
const QStringList OrdenEsperado = u"100 101 1011 1012 105 1051 10511 10512 1052 1053 106 1061 1062 107 1071 1072 "
                                  "200 201 2011 20111 20112 2012 202 2021 2022 203 204 300 301 3011 3012 3013 302 "
                                  "303 3031 3032 304 3041 3042 400 401 402 500 501 502 900 901 9011 9012 902 E1 E2 "
                                  "0 C1 C2 C3 H1 H11"_s.split(u' ');

QByteArray Contenido(const QString& archivo)
{
    QFile f(archivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A file written before, and a second name for it.
bool Previo(const QString& archivo, const QString& enlace)
{
    QFile previo(archivo);
    return previo.open(QIODevice::WriteOnly) && previo.write("previo") == 6 && previo.flush()
        && ::link(QFile::encodeName(archivo).constData(), QFile::encodeName(enlace).constData()) == 0;
}

// The workbook as openpyxl reads it: the frozen cell, and per row each cell's value, type
// (n number, s text, d date), number format and indent.
const char* const LectorXlsx = R"(
import json, sys, openpyxl
hoja = openpyxl.load_workbook(sys.argv[1]).active
def celda(c):
    v = c.value.isoformat(sep=' ') if hasattr(c.value, 'isoformat') else c.value
    return [v, c.data_type, c.number_format, c.alignment.indent]
print(json.dumps({'congelada': hoja.freeze_panes,
                  'filas': [[celda(c) for c in f] for f in hoja.iter_rows()]}))
)";

} // namespace

class TstExtras : public QObject {
    Q_OBJECT

private slots:
    void csvCampoPorCampo_data() { pruebas::agregaBackends(); }
    void csvCampoPorCampo();
    void xlsxConCeldasTipadas_data() { pruebas::agregaBackends(); }
    void xlsxConCeldasTipadas();
    void archivoEnteroONada_data() { pruebas::agregaBackends(); }
    void archivoEnteroONada();
    void dobleSoloSiEsExacto();
    void pdfEnteroONada();

private:
    QTemporaryDir m_carpeta;
};

// Every centre once, parents before children, then those the tree cannot reach; each value
// where its heading says, quoted only where it must be, NULL apart from an empty text.
void TstExtras::csvCampoPorCampo()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    QVERIFY_SQL(Siembra(*db, Dato3(backend)));
    const QString archivo = m_carpeta.filePath(backend + u".csv"_s);
    db->setRecording(true);
    QVERIFY_SQL(QCOMPARE(orbanel::catalogo::Exporta(*db, archivo), OrdenEsperado.size()));
    QCOMPARE(db->recorded().size(), 1);

    const QByteArray bytes = Contenido(archivo);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF") && bytes.endsWith("\r\n"));
    const QList<Renglon> renglones = LeeCsv(bytes);
    QCOMPARE(renglones.size(), OrdenEsperado.size() + 1);
    const auto valores = [](const Renglon& renglon) {
        QStringList lista;
        for (const Campo& c : renglon)
            lista << (c.entreComillas ? u"«"_s + c.texto + u"»"_s : c.texto);
        return lista.join(u'|');
    };
    QCOMPARE(valores(renglones.first()),
             u"Nivel|Ruta|Clave|Descripción|Acumula en|Estado|Tipo|Cuenta contable|Grupo|Analizar|Dato 1|Dato 2|"
             "Dato 3|Dato 4|Dato 5|Dato 6|Alta por|Fecha de alta|Modificado por|Fecha de modificación"_s);
    QStringList claves;
    QHash<QString, QString> porClave;
    for (const Renglon& r : renglones.mid(1)) {
        QCOMPARE(r.size(), renglones.first().size());
        claves << r.at(2).texto;
        porClave.insert(r.at(2).texto, valores(r));
    }
    QCOMPARE(claves, OrdenEsperado);
    QCOMPARE(
        porClave.value(u"E1"_s),
        u"1|E1|E1|«Coma, \"comillas\" y\r\nsalto»|0|AC|1||||«»||%1|-0.5|2024-02-29||ANA|2024-03-01 10:20:30||"_s.arg(
            Dato3(backend)));
    QVERIFY(porClave.value(u"E2"_s).startsWith(u"2|E1 / E2|E2|Ñandú 🦜 café|E1|"_s));
    QVERIFY(porClave.value(u"105"_s).startsWith(u"2|100 / 105|105|Ventas norte|100|AC|1|5100-105|000100|NO|"
                                                "Zona Monterrey-Saltillo|Laura Garza|1250000|0.15|2019-03-01||"_s));
    QVERIFY(porClave.value(u"10511"_s).startsWith(u"4|100 / 105 / 1051 / 10511|"_s));
    for (const QString& inalcanzable : {u"0"_s, u"C1"_s, u"C2"_s, u"H1"_s, u"H11"_s})
        QVERIFY2(porClave.value(inalcanzable).startsWith(u"||"_s + inalcanzable + u'|'), qPrintable(inalcanzable));
}

// Numbers and dates typed, a decimal a double cannot hold exactly kept as its text, the heading
// frozen and each description indented by its level.
void TstExtras::xlsxConCeldasTipadas()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    QVERIFY_SQL(Siembra(*db, Dato3(backend)));
    const QString archivo = m_carpeta.filePath(backend + u".xlsx"_s);
    QVERIFY_SQL(orbanel::catalogo::Exporta(*db, archivo));
    QProcess python;
    python.start(PYTHON3, {u"-c"_s, QString::fromLatin1(LectorXlsx), archivo});
    QVERIFY(python.waitForFinished(60000));
    const QJsonObject libro = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    QVERIFY2(!libro.isEmpty(), python.readAllStandardError().constData());
    QCOMPARE(libro.value(u"congelada"_s).toString(), u"A2"_s);
    QHash<QString, QJsonArray> porClave;
    for (const QJsonValue& fila : libro.value(u"filas"_s).toArray())
        porClave.insert(fila.toArray().at(2).toArray().at(0).toString(), fila.toArray());
    const auto celda = [&porClave](const char* clave, int columna) {
        return QJsonDocument(porClave.value(QLatin1String(clave)).at(columna).toArray()).toJson(QJsonDocument::Compact);
    };
    QCOMPARE(celda("Clave", 3), QByteArray(R"(["Descripción","s","General",0])"));
    QCOMPARE(celda("105", 0), QByteArray(R"([2,"n","General",0])"));
    QCOMPARE(celda("105", 6), QByteArray(R"([1,"n","General",0])"));
    QCOMPARE(celda("105", 12), QByteArray(R"([1250000,"n","0.0000",0])"));
    QCOMPARE(celda("105", 13), QByteArray(R"(["0.15","s","General",0])"));
    QCOMPARE(celda("105", 14), QByteArray(R"(["2019-03-01 00:00:00","d","yyyy-mm-dd",0])"));
    QCOMPARE(celda("E1", 12),
             QJsonDocument(QJsonArray{Dato3(backend), u"s"_s, u"General"_s, 0}).toJson(QJsonDocument::Compact));
    QCOMPARE(celda("E1", 13), QByteArray(R"([-0.5,"n","0.0000",0])"));
    QCOMPARE(celda("E1", 17), QByteArray(R"(["2024-03-01 10:20:30","d","yyyy-mm-dd hh:mm:ss",0])"));
    QCOMPARE(celda("E2", 3), QByteArray(R"(["Ñandú 🦜 café","s","General",1])"));
    QCOMPARE(celda("10511", 3), QByteArray(R"(["Mostrador Monterrey","s","General",3])"));
    QCOMPARE(celda("H11", 0), QByteArray(R"([null,"n","General",0])"));
}

// A failed export leaves the file that was there; a good one replaces it whole under its name
// (a second name for the old file keeps the old bytes), and nothing else stays in the folder.
void TstExtras::archivoEnteroONada()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath(u"catalogo.csv"_s);
    QVERIFY(Previo(archivo, carpeta.filePath(u"enlace.csv"_s)));
    db->failContaining(u"FROM Centro_Costo"_s);
    QVERIFY(!pruebas::errorDe([&] { orbanel::catalogo::Exporta(*db, archivo); }).isEmpty());
    const QString refusal = pruebas::errorDe([&] { orbanel::catalogo::Exporta(*db, carpeta.filePath(u"c.txt"_s)); });
    QVERIFY2(refusal.contains(u".csv"_s) && refusal.contains(u".xlsx"_s), qPrintable(refusal));
    QCOMPARE(Contenido(archivo), QByteArray("previo"));
    db->clearFailure();

    QVERIFY_SQL(orbanel::catalogo::Exporta(*db, archivo));
    QVERIFY(Contenido(archivo).contains("Nivel,Ruta,Clave"));
    QCOMPARE(Contenido(carpeta.filePath(u"enlace.csv"_s)), QByteArray("previo"));
    QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files), (QStringList{u"catalogo.csv"_s, u"enlace.csv"_s}));
}

// The listing saved as PDF over an existing document takes the name only once complete; where it
// cannot be written, nothing is left behind.
void TstExtras::pdfEnteroONada()
{
    QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath(u"listado.pdf"_s);
    QVERIFY(Previo(archivo, carpeta.filePath(u"anterior.pdf"_s)));
    const orbanel::OpcionesImpresion opciones;
    QVERIFY_SQL(orbanel::GuardaPdf(archivo, u"100 - Dirección comercial\r\n"_s.repeated(200), u"Listado"_s, opciones));
    const QByteArray pdf = Contenido(archivo);
    QVERIFY(pdf.startsWith("%PDF") && pdf.trimmed().endsWith("%%EOF"));
    QCOMPARE(Contenido(carpeta.filePath(u"anterior.pdf"_s)), QByteArray("previo"));
    QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files), (QStringList{u"anterior.pdf"_s, u"listado.pdf"_s}));

    const QString fuera = carpeta.filePath(u"no-existe/listado.pdf"_s);
    const QString error = pruebas::errorDe([&] { orbanel::GuardaPdf(fuera, u"x"_s, u"Listado"_s, opciones); });
    QVERIFY2(error.startsWith(u"No se pudo escribir el archivo"_s), qPrintable(error));
    QVERIFY(!QFile::exists(fuera));
}

// The double the workbook writes for a decimal, only when it holds that decimal exactly.
void TstExtras::dobleSoloSiEsExacto()
{
    const std::pair<const char*, std::optional<double>> casos[] = {
        {"1250000", 1250000.0},
        {"-0.5", -0.5},
        {"0.0625", 0.0625},
        {"0.15", {}},
        {"12345678901234.5678", {}},
        {"9007199254740992", 9007199254740992.0}, // 2^53
        {"9007199254740993", {}},
        {"1152921504606846976", 1152921504606846976.0}, // 2^60
        {"123456789012345678901234", {}},               // more digits than 64 bits hold
    };
    for (const auto& [decimal, doble] : casos)
        QVERIFY2(orbanel::catalogo::DobleExacto(*kt508::Decimal::DeTexto(QString::fromLatin1(decimal))) == doble,
                 decimal);
}

QTEST_MAIN(TstExtras)
#include "tst_extras.moc"
