#include "unitconfiguration.h"

#include "configstream.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

UnitConfiguration::UnitConfiguration(QStringList lines)
    : lines_(std::move(lines))
{
    registerSections(registry_);
}

UnitConfiguration::~UnitConfiguration() = default;

QStringList UnitConfiguration::streamLines(quint32 features) const
{
    return store_ ? ConfigStream::fromStore(registry_, *store_, features) : lines_;
}

QStringList UnitConfiguration::apply(const QStringList &uploadLines, quint32 features)
{
    if (!store_)
        readLines(features);
    QStringList notUnderstood;
    for (const QString &line : uploadLines) {
        if (!registry_.applyUploadLine(*store_, line, features))
            notUnderstood << line;
    }
    return notUnderstood;
}

// The starting lines read as a download would read them.
void UnitConfiguration::readLines(quint32 features)
{
    store_ = std::make_unique<ConfigStore>(ConfigStream::readLines(registry_, lines_, features));
}
