#include "cli/CommandOptions.h"

namespace salvora::cli {

void addBackup(CLI::App* command, BackupOperand& operand) {
    command
        ->add_option("BACKUP", operand.backup,
                     "A backup folder, or the number of a device as \"devices\" lists it")
        ->required();
    CLI::Option* file =
        command->add_option("--password-file", operand.passwordFile,
                            "Read the password of an encrypted backup from the first line of FILE");
    file->type_name("FILE");
    command
        ->add_flag("--password-stdin", operand.passwordStdin,
                   "Read the password of an encrypted backup from the first line of standard input")
        ->excludes(file);
}

void addPortableNames(CLI::App* command, bool& portableNames) {
    command->add_flag("--portable-names", portableNames,
                      "Give every file and folder a name Windows and every other system take "
                      "(\"a:b.txt\" as \"a：b.txt\"), for a folder to copy elsewhere later; "
                      "otherwise only names the drive refuses change");
}

}  // namespace salvora::cli
