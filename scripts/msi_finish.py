#!/usr/bin/python3
"""Finishes the MSI that wixl built from resources/installer/parvelle.wxs:
    msi_finish.py FILE.msi PACKAGE_CODE
with what wixl cannot say, and makes the file depend only on its inputs.

Run with Debian's python3: it needs libmsi's bindings (gir1.2-libmsi-1.0).
"""

import sys

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

# 2020-01-01 00:00 UTC as a FILETIME, the zip's time too: wixl writes the
# time of the build and a random package code, which would make every build
# differ.
FIXED_TIME = 132223104000000000

# Removed with the program's component: what the client writes beside its exe
# (settings, picture cache, QR image, downloads cut short) and, as the
# shortcut starts it there, the copies of answers it writes to its current
# folder. An upgrade keeps them: the component stays in use by the newer
# version while the older one is removed.
CLIENT_FILES = [("ClientSettings", "config.ini"), ("AnswerCopyB", "b.txt"), ("AnswerCopyC", "c.txt")]
REMOVE_ON_UNINSTALL = 2
# The picture cache's names are numbered. RemoveFile takes wildcards on
# Windows but not under Wine, where the installer is tested: one command
# removes them on both (deferred, as the system, failures ignored), on the
# same condition: the component goes.
CLIENT_PATTERNS_ACTION = (
    "RemoveClientCache", 34 + 64 + 1024 + 2048, "TARGETDIR",
    '"[System64Folder]cmd.exe" /d /c del /f /q "[INSTALLDIR]*.bin" "[INSTALLDIR]*.part"')
ON_REMOVAL = "$Program = 2"

# Users may add, change and delete files in the program's folder (the client
# writes there in their name); the installed files stay read-only for them,
# so no user replaces the program another user runs.
FOLDER_SDDL = "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)"
FILE_SDDL = "D:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)"
LOCKS = [
    ("LockFolder", "INSTALLDIR", "CreateFolder", FOLDER_SDDL),
    ("LockExe", "parvelle.exe", "File", FILE_SDDL),
    ("LockServerIni", "server.ini", "File", FILE_SDDL),
    ("LockReadme", "README.txt", "File", FILE_SDDL),
]

SQL = [
    # The older product goes after the newer one is in place: the program's
    # component, still in use then, keeps its files and what the client
    # wrote (wixl schedules the removal first).
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('InstallExecute', 6500)",
    "UPDATE `InstallExecuteSequence` SET `Sequence` = 6550 WHERE `Action` = 'RemoveExistingProducts'",
    # A plain shortcut to the exe (wixl writes an advertised one, which
    # starts the program through Windows Installer's feature checks).
    "UPDATE `Shortcut` SET `Target` = '[#parvelle.exe]' WHERE `Shortcut` = 'StartMenu'",
    "CREATE TABLE `MsiLockPermissionsEx` (`MsiLockPermissionsEx` CHAR(72) NOT NULL, "
    "`LockObject` CHAR(72) NOT NULL, `Table` CHAR(32) NOT NULL, `SDDLText` LONGCHAR NOT NULL, "
    "`Condition` CHAR(255) PRIMARY KEY `MsiLockPermissionsEx`)",
]
SQL += [
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('%s', %d, '%s', '%s')"
    % CLIENT_PATTERNS_ACTION,
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('%s', '%s', 3450)"
    % (CLIENT_PATTERNS_ACTION[0], ON_REMOVAL),
]
SQL += ["INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, "
        "`InstallMode`) VALUES ('%s', 'Program', '%s', 'INSTALLDIR', %d)"
        % (key, name, REMOVE_ON_UNINSTALL) for key, name in CLIENT_FILES]
SQL += ["INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, "
        "`SDDLText`) VALUES ('%s', '%s', '%s', '%s')" % lock for lock in LOCKS]


def main():
    path, package_code = sys.argv[1:]
    db = Libmsi.Database.new(path, Libmsi.DbFlags.TRANSACT, None)
    for sql in SQL:
        Libmsi.Query.new(db, sql).execute(None)
    info = Libmsi.SummaryInfo.new(db, 20)
    info.set_string(Libmsi.Property.UUID, package_code)
    info.set_filetime(Libmsi.Property.CREATED_TM, FIXED_TIME)
    info.set_filetime(Libmsi.Property.LASTSAVED_TM, FIXED_TIME)
    info.persist()
    db.commit()


if __name__ == "__main__":
    main()
