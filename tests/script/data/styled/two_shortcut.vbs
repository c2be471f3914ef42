Option Explicit
' Puts a shortcut to Notepad on the desktop.
Dim shell, desktop, link
Set shell = CreateObject("WScript.Shell")
desktop = shell.SpecialFolders("Desktop")
Set link = shell.CreateShortcut(desktop & "\Notepad.lnk")
With link
  .TargetPath = shell.ExpandEnvironmentStrings("%SystemRoot%") & _
                "\System32\notepad.exe"
  .WorkingDirectory = desktop
  .Description = "Notepad, " & _
                 "made by a script"
  .Save
End With
