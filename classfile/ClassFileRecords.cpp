#include "classfile/ClassFileRecords.h"

Code_attribute::~Code_attribute()
{
    qDeleteAll(attributes);
}

member_info::~member_info()
{
    qDeleteAll(attributes);
}
