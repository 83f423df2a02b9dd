// Gives MetadataQuery's signals their home (moc).
#include "MetadataQuery.h"
