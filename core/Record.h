#pragma once
// The one record type for entered spots, cune controls and database rows,
// with the shared tables that belong to it.
#include <QString>
#include <array>
#include <vector>

constexpr int FieldCount = 31;

class TSubstanceRecord {
public:
    // Fields 0..27, then SpareSlot, then fields 28..30 (member order).
    QString name, A, B, Bprime, C, E, F, G, HPLC, BefVis, BefUVS, BefUVL, Archers, AftVis, AftUV,
        KResult, CResult, KCResult, PDResult, Cortex, Medulla, M, F1, F2, F3, Notes, Related,
        Synonyms;
    QString SpareSlot;
    QString Class, Path, GroupName;
    float MatchScore = 0.0f;

    void Clear();                                   // fields 0..30 and MatchScore; not SpareSlot
    void SetByIndex(int index, const QString& value); // outside 0..30: nothing
    QString GetByName(const QString& fieldName) const; // names of fields 0..20 only
    QString GetByIndex(int index) const;            // GetByName(ColumnNames[index])
    int SolventValue(int i) const;                  // fields 1..8 as whole numbers, else 0

    // Direct access to any field 0..30 (GetByIndex only reaches 0..20).
    QString& Field(int index);
    const QString& Field(int index) const;
};

// Match-list order under the current SortColumn.
bool operator<(const TSubstanceRecord& x, const TSubstanceRecord& y);

// Name order of substance names (upper-cased keys from the first two
// adjacent ASCII letters on).
bool NameLess(const QString& a, const QString& b);
QString NameKey(const QString& name);

struct TColorRow {
    QString ColorName;
    std::array<QString, 20> Similarity;
    TColorRow() { Similarity.fill(QStringLiteral("0")); }
};

extern const std::array<QString, FieldCount> ColumnNames;
extern std::array<TColorRow, 20> ColorMatrix;
extern std::vector<TSubstanceRecord> Spots;
extern int SortColumn;
