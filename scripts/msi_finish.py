#!/usr/bin/python3
"""Finishes the MSI that wixl built from resources/installer/parvelle.wxs:
    msi_finish.py FILE.msi PACKAGE_CODE
with what wixl cannot say, and makes the file depend only on its inputs.

The program's folder keeps the permissions Windows gives a folder under
Program Files (users read and run, never write): the package has no
permission table. The client keeps what it writes in each user's own
%LOCALAPPDATA%\Parvelle (config/data_folder.h).

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

# Removed with the program's component: what older versions of the client
# wrote beside its exe (settings, picture cache, QR image, downloads cut
# short) and, as the shortcut started them there, the copies of answers they
# wrote to their current folder. An upgrade keeps them: the component stays
# in use by the newer version while the older one is removed.
CLIENT_FILES = [("ClientSettings", "config.ini"), ("AnswerCopyB", "b.txt"), ("AnswerCopyC", "c.txt")]
REMOVE_ON_UNINSTALL = 2
# The picture cache's names are numbered. RemoveFile takes wildcards on
# Windows but not under Wine, where the installer is tested: one command
# removes them on both (deferred, as the system, failures ignored), on the
# same condition: the component goes.
CLIENT_PATTERNS_ACTION = (
    "RemoveClientCache", 34 + 64 + 1024 + 2048, "TARGETDIR",
    '"[System64Folder]cmd.exe" /d /c del /f /q "[INSTALLDIR]*.bin" "[INSTALLDIR]*.part"')
# The removing user's own folder: what the client wrote there (the same
# names, and the new files of writes cut short), then the folder when nothing
# else is left in it. Deferred, in the user's name (whose folder it is),
# failures ignored; other users' folders stay, as the installer cannot reach
# them. Never run without the folder's property: the names would then be
# relative.
USER_DATA = "[LocalAppDataFolder]Parvelle"
USER_DATA_ACTION = (
    "RemoveUserData", 34 + 64 + 1024, "TARGETDIR",
    '"[System64Folder]cmd.exe" /d /c del /f /q ' +
    " ".join('"%s\\%s"' % (USER_DATA, name)
             for name in ("config.ini", "b.txt", "c.txt", "*.bin", "*.part", "*.tmp")) +
    ' & rmdir "%s"' % USER_DATA)
ON_REMOVAL = "$Program = 2"

SQL = [
    # The older product goes after the newer one is in place: the program's
    # component, still in use then, keeps its files and what the client
    # wrote (wixl schedules the removal first).
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('InstallExecute', 6500)",
    "UPDATE `InstallExecuteSequence` SET `Sequence` = 6550 WHERE `Action` = 'RemoveExistingProducts'",
    # A plain shortcut to the exe (wixl writes an advertised one, which
    # starts the program through Windows Installer's feature checks).
    "UPDATE `Shortcut` SET `Target` = '[#parvelle.exe]' WHERE `Shortcut` = 'StartMenu'",
]
SQL += [
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('%s', %d, '%s', '%s')"
    % action for action in (CLIENT_PATTERNS_ACTION, USER_DATA_ACTION)]
SQL += [
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('%s', '%s', %d)"
    % (CLIENT_PATTERNS_ACTION[0], ON_REMOVAL, 3450),
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('%s', '%s', %d)"
    % (USER_DATA_ACTION[0], ON_REMOVAL + " AND LocalAppDataFolder", 3451),
]
SQL += ["INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, "
        "`InstallMode`) VALUES ('%s', 'Program', '%s', 'INSTALLDIR', %d)"
        % (key, name, REMOVE_ON_UNINSTALL) for key, name in CLIENT_FILES]


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
