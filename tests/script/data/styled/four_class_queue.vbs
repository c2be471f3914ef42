Option Explicit
' A first-in first-out queue on a dictionary.
Class Queue
    Private items
    Private head
    Private tail

    Private Sub Class_Initialize()
        Set items = CreateObject("Scripting.Dictionary")
        head = 0
        tail = 0
    End Sub

    Public Sub Push(value)
        items.Add tail, value
        tail = tail + 1
    End Sub

    Public Function Pop()
        If head = tail Then
            Err.Raise vbObjectError + 1, "Queue.Pop", _
                      "The queue is empty."
        End If
        Pop = items(head)
        items.Remove head
        head = head + 1
    End Function

    Public Property Get Count()
        Count = tail - head
    End Property
End Class

Dim q
Set q = New Queue
q.Push "first"
q.Push "second"
WScript.Echo q.Pop(), q.Count
